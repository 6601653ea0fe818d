// veltas-cli.exe: everything it prints is UTF-8, and the console shows it as
// such while the program runs and gets its own code page back at the end.
// File names (command line, file system) and the system's messages are in
// the ANSI code page and are converted for printing; the window program
// VELTAS.EXE keeps them as they are.
#ifdef _WIN32
#include <windows.h>

#include <string>
#include <string_view>

#include "window/console_window.h"

namespace veltas::window {

std::string SystemToUtf8(std::string_view text) {
  if (text.empty()) return {};
  int size = static_cast<int>(text.size());
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  std::string utf8(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                      static_cast<int>(utf8.size()), nullptr, nullptr);
  return utf8;
}

}  // namespace veltas::window

namespace {

struct TUtf8Console {
  UINT Saved = GetConsoleOutputCP();
  TUtf8Console() {
    if (Saved) SetConsoleOutputCP(CP_UTF8);
  }
  ~TUtf8Console() {
    if (Saved) SetConsoleOutputCP(Saved);
  }
};

const TUtf8Console Utf8Console;

}  // namespace
#endif
