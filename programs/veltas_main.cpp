// veltas: the window program. The run sequence shows everything in the
// status window and waits until the user closes it; the exit status is 0
// then, whatever the assembly gave, and 2 after a run-time I/O error.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/run.h"
#include "host/files.h"
#include "host/host.h"

#ifdef _WIN32
#include "window/win32_window.h"
#else
#include "window/fltk_window.h"
#endif

using namespace veltas::driver;
using namespace veltas::host;
using namespace veltas::window;

namespace {

constexpr int kExitDone = 0;
constexpr int kExitIoError = 2;
constexpr std::string_view kIoErrorCaption = "Laufzeitfehler";

}  // namespace

#ifndef _WIN32
// The font library keeps its caches until the process ends; the leak
// checker of sanitizer builds is told so (unused in other builds).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libX11.so\n"; }
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
  TWin32Window window(GetModuleHandleA(nullptr));
#else
  TFltkWindow window;
#endif
  DevicesDir = FindDevicesDir();
  TRunResult result = RunSequence(args, window, DiskFiles());
  if (result.Outcome != TRunOutcome::IoError) return kExitDone;
#ifndef _WIN32
  std::fprintf(stderr, "%s\n", result.IoMessage.c_str());
#endif
  window.MessageBox(result.IoMessage, kIoErrorCaption);
  return kExitIoError;
}
