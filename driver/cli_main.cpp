// veltas-cli: the assembler for build systems. Same run sequence and texts as
// the window program, on the console; the exit status tells the result.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/console_window.h"
#include "driver/encoding.h"
#include "driver/files.h"
#include "driver/host.h"
#include "driver/run.h"
#include "passes/literal.h"

using namespace veltas;
using namespace veltas::driver;

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitAssemblyError = 1;
constexpr int kExitUsage = 2;

constexpr Ansi kUsage{"Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\n"};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(AnsiToUtf8(kUsage).c_str(), stdout);
    return kExitUsage;
  }
  TConsoleWindow window(stdout);
  TFileSystem& files = DiskFiles();
  TRunResult result = RunSequence(args, window, files);
  window.Finish();
  switch (result.Outcome) {
    case TRunOutcome::Success:
      return kExitSuccess;
    case TRunOutcome::SourceMissing:
      return kExitAssemblyError;
    case TRunOutcome::AssemblyError:
      // The form that editors' and IDEs' error matchers parse.
      std::fprintf(stderr, "%s:%d:%d: error: %s\n", result.ErrorFile.c_str(), static_cast<int>(result.ErrorLine),
                   result.ErrorColumn, AnsiToUtf8(result.ErrorMessage).c_str());
      if (result.FailedInPass2) files.Remove(HexName);  // incomplete, without end record
      return kExitAssemblyError;
    case TRunOutcome::IoError:
      std::fprintf(stderr, "%s\n", result.IoMessage.c_str());
      if (HexFileCreated()) files.Remove(HexName);
      return kExitUsage;
    case TRunOutcome::WindowFailed:
      break;
  }
  return kExitUsage;
}
