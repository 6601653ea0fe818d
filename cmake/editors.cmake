# The editors' files (editors/): the grammars and syntax files are generated
# from templates with the words the assembler itself reads (veltas-words),
# into <build>/editors, and installed with the other editor files.
include(GNUInstallDirs)
if(CMAKE_CROSSCOMPILING)
  return()  # veltas-words would not run here
endif()
add_executable(veltas-words editors/words_main.cpp)
target_link_libraries(veltas-words PRIVATE veltas_isa)

# Every editors/**/*.in becomes <build>/editors/** without ".in".
file(GLOB_RECURSE VELTAS_EDITOR_TEMPLATES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/editors/*.in)
set(VELTAS_EDITOR_OUTPUTS)
foreach(template IN LISTS VELTAS_EDITOR_TEMPLATES)
  file(RELATIVE_PATH relative ${CMAKE_CURRENT_SOURCE_DIR}/editors ${template})
  string(REGEX REPLACE "\\.in$" "" relative "${relative}")
  set(output ${CMAKE_BINARY_DIR}/editors/${relative})
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND veltas-words ${template} ${output} ${CMAKE_CURRENT_SOURCE_DIR}/editors/forms.txt
    DEPENDS veltas-words ${template} ${CMAKE_CURRENT_SOURCE_DIR}/editors/forms.txt
    VERBATIM)
  list(APPEND VELTAS_EDITOR_OUTPUTS ${output})
endforeach()
add_custom_target(veltas_editors ALL DEPENDS ${VELTAS_EDITOR_OUTPUTS})

# Vim and Neovim: Debian's Vim reads /usr/share/vim/vimfiles, Debian's Neovim
# share/nvim/site below /usr and /usr/local.
foreach(root vim/vimfiles nvim/site)
  set(dest ${CMAKE_INSTALL_DATADIR}/${root})
  foreach(kind ftdetect ftplugin compiler)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/editors/vim/${kind}/veltas.vim DESTINATION ${dest}/${kind})
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/editors/vim/syntax/veltas.vim DESTINATION ${dest}/syntax)
endforeach()
