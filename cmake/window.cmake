# The window program `veltas`: the run sequence with the status window.
# On Windows (also the MinGW-w64 cross build) the window is Win32; elsewhere
# it is FLTK on X11, built when FLTK is found (VELTAS_WINDOW).

# Texts, sizes and computations both windows share.
add_library(veltas_window_layout STATIC window/window_layout.cpp)
target_include_directories(veltas_window_layout PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

if(WIN32)
  add_executable(veltas WIN32 programs/veltas_main.cpp window/win32_window.cpp)
  target_link_libraries(veltas PRIVATE veltas_driver veltas_window_layout comdlg32)
  set_target_properties(veltas PROPERTIES OUTPUT_NAME VELTAS SUFFIX .EXE)
  # The console build sets the console to UTF-8 while it runs.
  target_sources(veltas-cli PRIVATE programs/win32_console.cpp)
  # Reads the status window's make-up under Wine (window tests).
  add_executable(veltas-wincheck EXCLUDE_FROM_ALL tests/window/wincheck.cpp)
  return()
endif()

find_path(VELTAS_FLTK_INCLUDE_DIR FL/Fl.H)
find_library(VELTAS_FLTK_LIBRARY fltk)
find_package(X11 QUIET)
if(VELTAS_FLTK_INCLUDE_DIR AND VELTAS_FLTK_LIBRARY AND X11_FOUND)
  set(VELTAS_FLTK_FOUND ON)
else()
  set(VELTAS_FLTK_FOUND OFF)
endif()
option(VELTAS_WINDOW "Build the window program veltas (FLTK)" ${VELTAS_FLTK_FOUND})
if(VELTAS_WINDOW AND NOT VELTAS_FLTK_FOUND)
  message(FATAL_ERROR "VELTAS_WINDOW needs FLTK 1.3 and X11 (Debian: libfltk1.3-dev)")
endif()

if(VELTAS_WINDOW)
  add_library(veltas_fltk_window STATIC window/fltk_window.cpp)
  target_include_directories(veltas_fltk_window SYSTEM PUBLIC ${VELTAS_FLTK_INCLUDE_DIR})
  target_link_libraries(veltas_fltk_window PUBLIC veltas_driver veltas_window_layout ${VELTAS_FLTK_LIBRARY} X11::X11)

  add_executable(veltas programs/veltas_main.cpp)
  target_link_libraries(veltas PRIVATE veltas_fltk_window)

  # Closes a window as a window manager's close box does (window tests).
  add_executable(veltas-xclose EXCLUDE_FROM_ALL tests/window/xclose.cpp)
  target_link_libraries(veltas-xclose PRIVATE X11::X11)
endif()

if(VELTAS_TESTS AND VELTAS_WINDOW)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  # The FLTK window in a whole run; needs a display and skips without one
  # (scripts/test.d/50-window.sh runs it under Xvfb).
  add_executable(veltas_window_tests tests/window/fltk_window_test.cpp tests/support/memory_files.cpp)
  target_link_libraries(veltas_window_tests PRIVATE veltas_fltk_window GTest::gtest_main)
  gtest_discover_tests(veltas_window_tests DISCOVERY_TIMEOUT 60)
endif()
