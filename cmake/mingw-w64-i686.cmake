# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686):
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
# gives VELTAS.EXE and veltas-cli.exe, linked statically (no MinGW DLLs
# needed). -DVELTAS_MINGW_ARCH=x86_64 builds the same sources for 64-bit
# Windows instead (used where 32-bit programs can't run, see
# scripts/test.d/50-window.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(VELTAS_MINGW_ARCH i686 CACHE STRING "i686 (32-bit Windows) or x86_64")
if(VELTAS_MINGW_ARCH STREQUAL "x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(_veltas_triple ${VELTAS_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${_veltas_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_veltas_triple}-g++)
set(CMAKE_RC_COMPILER ${_veltas_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_veltas_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The unit tests need GoogleTest for the host; the Windows programs are
# tested under Wine instead.
set(VELTAS_TESTS OFF CACHE BOOL "Build the tests")
