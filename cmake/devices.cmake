# Processor definition files: veltas-header (devices/) converts the chip
# maker's headers that gputils installs into this dialect at build time. The
# converted files are the chip maker's facts and copyright; they are built
# here and never committed. The programs find them in <build>/devices, or
# installed in share/veltas/devices.
include(GNUInstallDirs)

add_library(veltas_convert STATIC devices/convert.cpp)
target_include_directories(veltas_convert PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
add_executable(veltas-header devices/header_main.cpp)
target_link_libraries(veltas-header PRIVATE veltas_convert)
target_compile_definitions(veltas-header PRIVATE VELTAS_VERSION="${PROJECT_VERSION}")
if(TARGET veltas_tests)
  target_link_libraries(veltas_tests PRIVATE veltas_convert)
  target_compile_definitions(veltas_tests PRIVATE VELTAS_HEADER="$<TARGET_FILE:veltas-header>")
  add_dependencies(veltas_tests veltas-header)
endif()

# Where an installed program finds the files, relative to its own directory.
file(RELATIVE_PATH VELTAS_DEVICES_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_DATADIR}/veltas/devices)
target_compile_definitions(veltas_host PRIVATE VELTAS_DEVICES_FROM_BIN="${VELTAS_DEVICES_FROM_BIN}")

set(VELTAS_DEVICES_DEFAULT ON)
if(CMAKE_CROSSCOMPILING)
  set(VELTAS_DEVICES_DEFAULT OFF)  # veltas-header would not run here
endif()
option(VELTAS_DEVICES "Convert gputils' processor headers into definition files" ${VELTAS_DEVICES_DEFAULT})
set(VELTAS_GPUTILS_DIR /usr/share/gputils CACHE PATH "gputils' data: header/p*.inc and lkr/*_g.lkr")
if(NOT VELTAS_DEVICES)
  return()
endif()

file(GLOB VELTAS_GPUTILS_HEADERS CONFIGURE_DEPENDS ${VELTAS_GPUTILS_DIR}/header/*.inc)
file(GLOB VELTAS_GPUTILS_LINKER_SCRIPTS CONFIGURE_DEPENDS ${VELTAS_GPUTILS_DIR}/lkr/*_g.lkr)
if(NOT VELTAS_GPUTILS_HEADERS)
  message(FATAL_ERROR "No processor headers in ${VELTAS_GPUTILS_DIR}/header: install gputils "
                      "(scripts/install-deps.sh build) or configure with -DVELTAS_DEVICES=OFF")
endif()

# One run converts every header (a few seconds) and lists the skipped ones.
set(VELTAS_DEVICES_DIR ${CMAKE_BINARY_DIR}/devices)
set(stamp ${VELTAS_DEVICES_DIR}/.converted)
add_custom_command(
  OUTPUT ${stamp}
  COMMAND veltas-header -d ${VELTAS_DEVICES_DIR} ${VELTAS_GPUTILS_HEADERS}
  COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
  DEPENDS veltas-header ${VELTAS_GPUTILS_HEADERS} ${VELTAS_GPUTILS_LINKER_SCRIPTS}
  COMMENT "Definitionsdateien aus ${VELTAS_GPUTILS_DIR}/header"
  VERBATIM)
add_custom_target(veltas_devices ALL DEPENDS ${stamp})
if(TARGET veltas_tests)
  add_dependencies(veltas_tests veltas_devices)
endif()

install(DIRECTORY ${VELTAS_DEVICES_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/veltas/devices
        FILES_MATCHING PATTERN "*.INC")
