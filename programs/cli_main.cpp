// veltas-cli: the assembler for build systems. Same run sequence and texts as
// the window program, on the console; the exit status tells the result.
//
// The program parses its own arguments: a whole "-L" before "--" sets the
// switch wherever it stands, long options start with "--", -I takes a
// directory, and the last other argument is the source, whatever "-L" its
// name contains. "--" ends the options.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cod/collector.h"
#include "driver/encoding.h"
#include "driver/run.h"
#include "host/files.h"
#include "host/host.h"
#include "host/recording_files.h"
#include "state/literal.h"
#include "window/console_window.h"

#ifndef VELTAS_VERSION
#error "VELTAS_VERSION must be defined by the build"
#endif

using namespace veltas;
using namespace veltas::driver;
using namespace veltas::host;
using namespace veltas::window;

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitAssemblyError = 1;
constexpr int kExitUsage = 2;

constexpr Ansi kUsage{"Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\n"};

constexpr std::string_view kProgram = "veltas-cli";

// UTF-8, like everything this program prints itself.
constexpr std::string_view kHelp =
    "Benutzung: veltas-cli [Optionen] [-L] Quelldatei\n"
    "Übersetzt eine PIC-Quelle (ohne Endung: NAME.PIC) nach NAME.HEX und NAME.PRN.\n"
    "\n"
    "  -L            Adreßliste (Symbolliste) an das Listing anhängen\n"
    "  -I VERZ       INCLUDE-Dateien, die neben der Quelle fehlen, auch in VERZ\n"
    "                suchen (mehrfach möglich, der Reihe nach; auch -IVERZ)\n"
    "  --quiet       nach Erfolg nichts ausgeben (Fehler weiter auf stderr)\n"
    "  --deps DATEI  nach Erfolg make-Regel mit allen gelesenen Dateien in DATEI\n"
    "  --max-errors N\n"
    "                bis zu N Fehler melden, 0: alle (Vorgabe 1: beim ersten Fehler\n"
    "                aufhören)\n"
    "  --cod         nach Erfolg auch NAME.COD schreiben (Symbole, Zeilen für gpsim)\n"
    "  --processor NAME\n"
    "                Prozessor in NAME.COD, etwa 16F877A (sonst aus __16F877A)\n"
    "  --help        diese Hilfe zeigen und beenden\n"
    "  --version     Programmname und Version zeigen und beenden\n"
    "  --            Ende der Optionen: alle weiteren Argumente sind keine Optionen\n"
    "\n"
    "-L setzt den Schalter, wo es auch steht; das letzte andere Argument ist die\n"
    "Quelldatei. --deps=DATEI ist gleichwertig zu --deps DATEI, ebenso\n"
    "--processor=NAME und --max-errors=N. Zuletzt sucht INCLUDE die\n"
    "Definitionsdateien der Chips (INCLUDE P16F877A.INC); ihre Zeilen stehen nicht\n"
    "im Listing.\n"
    "\n"
    "Exit-Status:\n"
    "  0  Erfolg\n"
    "  1  Fehler in der Quelle oder Quelldatei nicht gefunden\n"
    "  2  falscher Aufruf oder Laufzeitfehler beim Lesen oder Schreiben\n";

struct TOptions {
  bool Help = false;
  bool Version = false;
  bool Quiet = false;
  std::optional<std::string> DepsFile;
  std::vector<std::string> IncludeDirs;
  bool Cod = false;
  std::string Processor;
  int MaxErrors = 1;
  bool ListSymbols = false;
  std::vector<std::string> RunArgs;  // the source is the last
  std::string Error;                 // a usage error, empty if none
};

TOptions ParseOptions(const std::vector<std::string>& args) {
  TOptions o;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a.rfind("-I", 0) == 0) {
      std::string dir = a.size() > 2 ? a.substr(2) : (i + 1 < args.size() ? args[++i] : "");
      if (dir.empty()) {
        o.Error = "Option \"-I\" braucht ein Verzeichnis";
        return o;
      }
      o.IncludeDirs.push_back(dir);
    } else if (!optionsEnded && a == "-L") {
      o.ListSymbols = true;
    } else if (optionsEnded || a.rfind("--", 0) != 0) {
      o.RunArgs.push_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--help") {
      o.Help = true;
      return o;
    } else if (a == "--version") {
      o.Version = true;
      return o;
    } else if (a == "--quiet") {
      o.Quiet = true;
    } else if (a == "--deps" || a.rfind("--deps=", 0) == 0) {
      std::string name;
      if (a == "--deps") {
        if (i + 1 < args.size()) name = args[++i];
      } else {
        name = a.substr(7);
      }
      if (name.empty()) {
        o.Error = "Option \"--deps\" braucht einen Dateinamen";
        return o;
      }
      o.DepsFile = name;
    } else if (a == "--max-errors" || a.rfind("--max-errors=", 0) == 0) {
      std::string n = a == "--max-errors" ? (i + 1 < args.size() ? args[++i] : "") : a.substr(13);
      bool digits = !n.empty() && n.size() <= 5 && n.find_first_not_of("0123456789") == std::string::npos;
      if (!digits || std::stoi(n) > 10000) {
        o.Error = "--max-errors erwartet eine Zahl von 0 bis 10000";
        return o;
      }
      o.MaxErrors = std::stoi(n);
    } else if (a == "--cod") {
      o.Cod = true;
    } else if (a == "--processor" || a.rfind("--processor=", 0) == 0) {
      if (a == "--processor") {
        if (i + 1 < args.size()) o.Processor = args[++i];
      } else {
        o.Processor = a.substr(12);
      }
      if (o.Processor.empty()) {
        o.Error = "Option \"--processor\" braucht einen Prozessornamen";
        return o;
      }
    } else {
      o.Error = "unbekannte Option \"" + SystemToUtf8(a) + "\"";
      return o;
    }
  }
  if (o.RunArgs.empty()) o.Error = "keine Quelldatei angegeben";
  if (!o.Processor.empty() && !o.Cod) o.Error = "Option \"--processor\" gilt nur mit \"--cod\"";
  return o;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(kProgram.size()), kProgram.data(), message.c_str());
  std::fprintf(stderr, "\"%.*s --help\" zeigt alle Optionen.\n", static_cast<int>(kProgram.size()), kProgram.data());
  return kExitUsage;
}

// The rule for make: the outputs depend on every file the run read, all
// under the names the system opened them by.
std::string DependencyRule(const TRecordingFiles& files, const std::vector<std::string>& targets) {
  std::vector<std::string> inputs;
  for (const std::string& name : files.Read()) {
    std::string disk = DiskName(name);
    if (std::find(inputs.begin(), inputs.end(), disk) == inputs.end()) inputs.push_back(disk);
  }
  std::vector<std::string> opened;
  for (const std::string& target : targets) opened.push_back(SystemName(target));
  return MakeDependencyRule(opened, inputs);
}

void Message(const std::string& text) {
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(kProgram.size()), kProgram.data(), text.c_str());
}

// NAME.COD after a successful run, built in memory and then written in one
// piece. False, with the reason on stderr and no such file left, when it is
// refused or can't be written.
bool WriteCod(const TOptions& options, TFileSystem& files, const std::vector<std::string>& filesRead) {
  // Names cut to 255 characters can lose their endings and meet.
  if (CodName == HexName || CodName == PrnName) {
    Message("kann " + SystemToUtf8(CodName) + " nicht schreiben: derselbe Name wie die HEX-Datei oder das Listing");
    return false;
  }
  cod::TCodOutcome cod = cod::MakeCodFile({CodName, options.Processor, filesRead, VELTAS_VERSION});
  if (!options.Quiet)
    for (const std::string& note : cod.Notes) Message("Hinweis: " + note);
  try {
    if (!cod.Error.empty()) {
      Message(cod.Error);
    } else {
      std::unique_ptr<TOutputFile> out = files.Create(CodName);
      out->Write(cod.Bytes);
      out->Close();
      return true;
    }
  } catch (const TIoError& error) {
    std::fprintf(stderr, "%s\n", ConsoleText(IoErrorPieces(error)).c_str());
  }
  files.Remove(CodName);  // an earlier run's file would describe another program
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(AnsiToUtf8(kUsage).c_str(), stdout);
    return kExitUsage;
  }
  TOptions options = ParseOptions(args);
  if (options.Help) {
    std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
    return kExitSuccess;
  }
  if (options.Version) {
    std::printf("%.*s (Veltas) %s\n", static_cast<int>(kProgram.size()), kProgram.data(), VELTAS_VERSION);
    return kExitSuccess;
  }
  if (!options.Error.empty()) return UsageError(options.Error);

  IncludeDirs = options.IncludeDirs;
  DevicesDir = FindDevicesDir();
  TConsoleWindow window(stdout, options.Quiet);
  TRecordingFiles files(DiskFiles());
  if (options.Cod) cod::StartCollecting();
  TRunSettings settings;
  settings.MaxErrors = options.MaxErrors;
  settings.ListSymbols = options.ListSymbols;
  TRunResult result = RunSequence(options.RunArgs, window, files, settings);
  cod::StopCollecting();
  window.Finish();
  switch (result.Outcome) {
    case TRunOutcome::Success: {
      std::vector<std::string> targets{HexName, PrnName};
      if (options.Cod) {
        // Without its debug file the run failed like one that can't write:
        // no HEX file either, so that make runs it again.
        if (!WriteCod(options, files, files.Read())) {
          files.Remove(HexName);
          return kExitUsage;
        }
        targets.push_back(CodName);
      }
      if (options.DepsFile) {
        try {
          std::unique_ptr<TOutputFile> deps = files.Create(*options.DepsFile);
          deps->Write(DependencyRule(files, targets));
          deps->Close();
        } catch (const TIoError& error) {
          std::fprintf(stderr, "%s\n", ConsoleText(IoErrorPieces(error)).c_str());
          files.Remove(*options.DepsFile);
          return kExitUsage;
        }
      }
      return kExitSuccess;
    }
    case TRunOutcome::SourceMissing:
      // Quiet runs show no status text, so the reason goes to stderr.
      if (options.Quiet)
        std::fprintf(stderr, "%.*s: Datei %s nicht gefunden\n", static_cast<int>(kProgram.size()), kProgram.data(),
                     SystemToUtf8(SourceName).c_str());
      return kExitAssemblyError;
    case TRunOutcome::AssemblyError:
      // The form that editors' and IDEs' error matchers parse.
      for (const TErrorReport& e : result.Errors)
        std::fprintf(stderr, "%s:%d:%d: error: %s\n", SystemToUtf8(e.File).c_str(), static_cast<int>(e.Line), e.Column,
                     AnsiToUtf8(e.Message).c_str());
      if (result.StoppedAtLimit && options.MaxErrors != 1)
        Message("nach " + std::to_string(result.Errors.size()) + " Fehlern abgebrochen");
      // The HEX file is incomplete, without end record; the debug file of an
      // earlier run would describe a program that no longer exists.
      if (result.FailedInPass2) {
        files.Remove(HexName);
        if (options.Cod) files.Remove(CodName);
      }
      return kExitAssemblyError;
    case TRunOutcome::IoError:
      std::fprintf(stderr, "%s\n", ConsoleText(result.IoText).c_str());
      if (HexFileCreated()) {
        files.Remove(HexName);
        if (options.Cod) files.Remove(CodName);
      }
      return kExitUsage;
    case TRunOutcome::WindowFailed: break;
  }
  return kExitUsage;
}
