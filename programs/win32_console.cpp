// veltas-cli.exe: the status text is UTF-8; the console shows it as such
// while the program runs, and gets its own code page back at the end.
#ifdef _WIN32
#include <windows.h>

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
