# Installation and the Debian package: veltas-cli, the window program veltas
# and the language server veltas-lsp where they are built, the converter
# veltas-header, their German manual pages,
# the README, and the definition files (cmake/devices.cmake).
# cmake --install BUILD [--prefix DIR];  cpack -G DEB --config BUILD/CPackConfig.cmake
include(GNUInstallDirs)

install(TARGETS veltas-cli veltas-header RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(VELTAS_MAN_PAGES veltas-cli.1 veltas-header.1)
if(TARGET veltas)
  install(TARGETS veltas RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  list(APPEND VELTAS_MAN_PAGES veltas.1)
endif()
if(TARGET veltas-lsp)
  install(TARGETS veltas-lsp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  list(APPEND VELTAS_MAN_PAGES veltas-lsp.1)
endif()

# The pages name the project version in their footer.
foreach(page IN LISTS VELTAS_MAN_PAGES)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/man/${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(VELTAS_PACKAGE_MAINTAINER "Veltas-Entwickler <veltas@localhost>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME veltas)
set(CPACK_PACKAGE_VENDOR "Veltas")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-pass assembler for PIC microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Veltas translates an assembler source for Microchip PIC microcontrollers\n\
(12-bit, 14-bit, enhanced 14-bit and 16-bit cores), with the files it\n\
includes, into an Intel HEX object file and a listing. veltas-cli serves\n\
build systems: exit status, error lines for editors and make dependency\n\
files. All messages are German.")
set(CPACK_PACKAGE_CONTACT "${VELTAS_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR TGZ)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELTAS_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The library dependencies (libc6, libstdc++6, and FLTK for veltas) are
# read from the programs by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "make")
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/")
include(CPack)
