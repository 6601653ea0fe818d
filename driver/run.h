// The run sequence: from the command line to the final report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/status.h"
#include "host/files.h"

namespace veltas::driver {

// Driver state of one run.
extern std::string SourceName;
extern std::string HexName;
extern std::string PrnName;
// Where veltas-cli --cod writes the debug file; the run itself never does.
extern std::string CodName;
extern TStatusText StatusText;

enum class TRunOutcome {
  Success,
  SourceMissing,
  AssemblyError,  // pass 1 or pass 2 stopped at an error
  WindowFailed,
  IoError,
};

// One reported assembly error, as the editors' error line and a language
// server need it.
struct TErrorReport {
  std::string File;  // as the host opened it
  std::int32_t Line = 0;
  int Column = 0;          // the scan position where the statement stopped
  int TokenStart = 0;      // where the last token read begins
  std::string Message;     // cp1252
  std::string SourceLine;  // cp1252, without its line end
  bool InPass2 = false;
};

struct TRunSettings {
  // How many errors the run reports before it stops; 0: no limit. 1 stops
  // at the first, as the window program always does.
  int MaxErrors = 1;
  // Set when the caller has parsed its arguments itself: the switch -L, and
  // the source as the last argument. Unset, an argument containing "-L"
  // sets the switch and the last other one is the source.
  std::optional<bool> ListSymbols;
};

struct TRunResult {
  TRunOutcome Outcome = TRunOutcome::Success;
  bool FailedInPass2 = false;
  // Where the assembly error was found, for the editors' error line.
  std::string ErrorFile;
  std::int32_t ErrorLine = 0;
  int ErrorColumn = 0;
  std::string ErrorMessage;  // cp1252
  // Every reported error in the order the run met them; the first is the
  // one above. StoppedAtLimit: the run ended at MaxErrors.
  std::vector<TErrorReport> Errors;
  bool StoppedAtLimit = false;
  // A run-time I/O error, in the system's encoding, and the same in pieces
  // (see IoErrorPieces).
  std::string IoMessage;
  TStatusText IoText;
};

// 32-bit Windows cuts file names at 255 characters; elsewhere they stay
// whole, however deep the build tree.
#ifdef _WIN32
inline constexpr std::size_t MaxNameLength = 255;
#else
inline constexpr std::size_t MaxNameLength = std::string::npos;
#endif

struct TOutputNames {
  std::string Source, Hex, Prn, Cod;
};
// The source name with ".PIC" where it has no extension, and the names of
// the HEX file, the listing and the debug file.
TOutputNames DeriveNames(const std::string& sourceName);

// Shows a status text: appended to StatusText, shown, window served.
void ShowStatus(TStatusWindow& window, const TStatusText& pieces);

// The whole run. args are the command-line arguments without the program
// name. Waits for the window to close unless a run-time I/O error ends the
// run at once.
TRunResult RunSequence(const std::vector<std::string>& args, TStatusWindow& window, host::TFileSystem& files,
                       const TRunSettings& settings = {});

// "Laufzeitfehler: ..." for a failed file operation, in pieces: the
// program's words in cp1252, file name and reason in the system's encoding.
TStatusText IoErrorPieces(const host::TIoError& error);
// The same as one text in the system's encoding.
std::string IoErrorText(const host::TIoError& error);

}  // namespace veltas::driver
