# The language server veltas-lsp, built when nlohmann-json is installed
# (scripts/install-deps.sh lsp). Only lsp/protocol.cpp includes it.
find_package(nlohmann_json 3 QUIET)
if(NOT nlohmann_json_FOUND OR WIN32)
  message(STATUS "veltas-lsp: not built (nlohmann-json missing, or Windows)")
  return()
endif()
# The forms and descriptions of the mnemonics, built in from their data file.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/editors/forms.txt)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/editors/forms.txt VELTAS_FORMS)
configure_file(lsp/forms_text.cpp.in ${CMAKE_CURRENT_BINARY_DIR}/generated/forms_text.cpp @ONLY)
add_library(veltas_lsp STATIC lsp/transport.cpp lsp/protocol.cpp lsp/text.cpp lsp/workspace.cpp lsp/analysis.cpp
                              lsp/features.cpp lsp/forms.cpp lsp/server.cpp
                              ${CMAKE_CURRENT_BINARY_DIR}/generated/forms_text.cpp)
target_link_libraries(veltas_lsp PUBLIC veltas_driver PRIVATE nlohmann_json::nlohmann_json)
add_executable(veltas-lsp programs/lsp_main.cpp)
target_link_libraries(veltas-lsp PRIVATE veltas_lsp)
target_compile_definitions(veltas-lsp PRIVATE VELTAS_VERSION="${PROJECT_VERSION}")
if(TARGET veltas_tests)
  target_link_libraries(veltas_tests PRIVATE veltas_lsp nlohmann_json::nlohmann_json)
  target_compile_definitions(veltas_tests PRIVATE VELTAS_LSP="$<TARGET_FILE:veltas-lsp>" VELTAS_HAS_LSP=1)
  add_dependencies(veltas_tests veltas-lsp)
endif()
if(TARGET veltas_tests AND DEFINED VELTAS_DEVICES_DIR)
  target_compile_definitions(veltas_tests PRIVATE VELTAS_DEVICES_DIR="${VELTAS_DEVICES_DIR}")
endif()
