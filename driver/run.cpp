#include "driver/run.h"

#include <cstdio>
#include <vector>

#include "driver/encoding.h"
#include "host/host.h"
#include "isa/table.h"
#include "output/listing.h"
#include "output/symlist.h"
#include "passes/passes.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/literal.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::driver {

std::string SourceName;
std::string HexName;
std::string PrnName;
std::string CodName;
TStatusText StatusText;

namespace {

// The driver's own texts are held in the OEM code page, as they always were,
// and converted when shown.
constexpr Oem kTitle{"MicroChip PIC-Assembler V2.13 (32bit)"};
constexpr Oem kUsage{"Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\r"};
constexpr Oem kBanner{"Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\r"};
constexpr Oem kTranslate{"übersetze "};
constexpr Oem kWithErrors{"\r .. übersetzt mit Fehlern."};
constexpr std::string_view kListingHead = "RUZ-8 Assembler V2.13 (32bit)";

bool PassOne = true;  // which pass an error report comes from

// Collects the pieces of one status text.
class TStatus {
 public:
  TStatus& Lit(std::string_view oem) {
    Text.AppendAnsi(OemToAnsi(oem));
    return *this;
  }
  TStatus& Ansi(std::string_view text) {
    Text.AppendAnsi(text);
    return *this;
  }
  TStatus& Native(std::string_view text) {
    Text.AppendNative(text);
    return *this;
  }
  TStatusText Text;
};

void Show(TStatusWindow& window, const TStatus& status) { ShowStatus(window, status.Text); }

void Listing(std::string_view text) { source::Hooks.WriteListing(text); }

std::string ShortHex(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
  return buffer;
}

void WaitForClose(TStatusWindow& window) {
  while (window.Alive()) {
    window.WaitForEvent();
    window.PumpMessages();
  }
}

void TakeArguments(const std::vector<std::string>& args, const TRunSettings& settings) {
  if (settings.ListSymbols) {
    output::ListAddresses = *settings.ListSymbols;
    if (!args.empty()) SourceName = args.back().substr(0, MaxNameLength);
    return;
  }
  for (const std::string& arg : args) {
    SourceName = arg.substr(0, MaxNameLength);
    if (SourceName.find("-L") != std::string::npos) {
      output::ListAddresses = true;
      SourceName.clear();
    }
  }
}

// The summary of a successful run: the end of the code and one line each
// for the configuration words, the second configuration word (enhanced
// 14-bit core only) and the ID words. The listing has blanks where the
// status text has tabs.
struct TSummary {
  std::string End;
  std::vector<std::string> Lines;
};

TSummary Summary() {
  TSummary summary;
  summary.End = output::HexWord(state::HighestCodeAddress);
  auto verdict = [](bool seen) { return seen ? "gesetzt" : "fehlen!"; };
  std::uint32_t base = state::ConfigBase;
  summary.Lines.push_back("Fuses  @ " + ShortHex(base + 7) + "h : " + verdict(state::FusesSeen));
  if (isa::CoreKind == isa::Core14Enh)
    summary.Lines.push_back("Fuses2 @ " + ShortHex(base + 8) + "h : " + verdict(state::Fuses2Seen));
  summary.Lines.push_back("ID " + ShortHex(base) + ".." + ShortHex(base + 3) + "h : " + verdict(state::IdWordsSeen));
  return summary;
}

void ListSummary(const TSummary& summary) {
  Listing("RUZ-8 Assembler");
  Listing("\r\n");
  Listing("Code bis ");
  Listing(summary.End);
  Listing("h : Keine Fehler gefunden.");
  Listing("\r\n");
  for (const std::string& line : summary.Lines) {
    Listing(line);
    Listing("\r\n");
  }
}

void ShowSummary(TStatusWindow& window, const TSummary& summary) {
  Show(window, TStatus().Lit(" ...done\r"));
  Show(window, TStatus().Lit("Code\tbis \t").Lit(summary.End).Lit("h : Keine Fehler gefunden.\r"));
  for (const std::string& line : summary.Lines) Show(window, TStatus().Lit(line + "\r"));
}

std::vector<TErrorReport> Reported;

void RecordError() {
  TErrorReport& e = Reported.emplace_back();
  e.File = host::CurrentFileName();
  e.Line = source::LineNumber;
  e.Column = source::LinePos;
  e.TokenStart = source::TokenStart;
  e.Message = state::ErrorText;
  e.SourceLine = source::CurrentLine;
  e.InPass2 = !PassOne;
}

// The first error: the line with "?" at the scan position, the message, the
// file, the line number and the position; then how many more there were.
void ReportError(TStatusWindow& window, TRunResult& result) {
  result.Outcome = TRunOutcome::AssemblyError;
  result.Errors = std::move(Reported);
  result.StoppedAtLimit = passes::StoppedAtLimit;
  if (result.Errors.empty()) return;
  const TErrorReport& first = result.Errors.front();
  Show(window, TStatus().Lit("\r"));
  std::string marked = first.SourceLine;
  if (first.Column > static_cast<int>(marked.size()))
    marked += '?';
  else
    marked.insert(static_cast<std::size_t>(first.Column > 0 ? first.Column - 1 : 0), 1, '?');
  Show(window, TStatus()
                   .Ansi(marked)
                   .Lit("\r\rFehler: ")
                   .Ansi(first.Message)
                   .Lit(" in\r\"")
                   .Native(first.File)
                   .Lit("\"  Zeile ")
                   .Lit(output::DecimalText(first.Line))
                   .Lit(" bei Pos ")
                   .Lit(output::DecimalText(first.Column)));
  if (result.Errors.size() > 1)
    Show(window, TStatus()
                     .Lit("\r... und ")
                     .Lit(output::DecimalText(static_cast<std::int64_t>(result.Errors.size() - 1)))
                     .Lit(" weitere Fehler"));
  result.ErrorFile = first.File;
  result.ErrorLine = first.Line;
  result.ErrorColumn = first.Column;
  result.ErrorMessage = first.Message;
}

}  // namespace

TOutputNames DeriveNames(const std::string& sourceName) {
  // Only a "." in the file part starts the extension; dots in directory
  // names don't.
  std::size_t filePart = host::DirectoryPart(sourceName).size();
  std::size_t dot = sourceName.rfind('.');
  bool hasDot = dot != std::string::npos && dot >= filePart;
  std::string base = hasDot ? sourceName.substr(0, dot) : sourceName;
  std::string extension = hasDot ? sourceName.substr(dot) : std::string();
  TOutputNames names;
  names.Hex = (base + ".HEX").substr(0, MaxNameLength);
  names.Prn = (base + ".PRN").substr(0, MaxNameLength);
  names.Cod = (base + ".COD").substr(0, MaxNameLength);
  names.Source = sourceName;
  if (extension.empty() || extension == ".") names.Source += ".PIC";
  return names;
}

void ShowStatus(TStatusWindow& window, const TStatusText& pieces) {
  for (const TStatusPiece& p : pieces.Pieces()) {
    if (p.Native)
      StatusText.AppendNative(p.Bytes);
    else
      StatusText.AppendAnsi(p.Bytes);
  }
  window.SetText(StatusText);
  window.PumpMessages();
}

TRunResult RunSequence(const std::vector<std::string>& args, TStatusWindow& window, host::TFileSystem& files,
                       const TRunSettings& settings) {
  TRunResult result;
  Reported.clear();
  state::ErrorLimit = settings.MaxErrors;
  passes::ErrorObserver = RecordError;
  StatusText.Clear();
  SourceName.clear();
  HexName.clear();
  PrnName.clear();
  CodName.clear();
  output::ListAddresses = false;
  host::InstallHooks(files);
  symbols::ClearSymbols();

  switch (window.Create(OemToAnsi(kTitle))) {
    case TCreateResult::Ok: break;
    case TCreateResult::NoAtom:
      window.MessageBox("kein Atom registrierbar!", "Ooops");
      result.Outcome = TRunOutcome::WindowFailed;
      return result;
    case TCreateResult::NoHandle:
      window.MessageBox("kein Handle bekommen!", "Ooops");
      result.Outcome = TRunOutcome::WindowFailed;
      return result;
  }

  try {
    if (args.empty()) {
      window.AddSearchButton();
      Show(window, TStatus().Lit(kUsage));
      while (SourceName.empty() && window.Alive()) {
        window.WaitForEvent();
        window.PumpMessages();
        SourceName = window.ChosenSourceName().substr(0, MaxNameLength);
      }
      window.DisableSearchButton();
    } else {
      Show(window, TStatus().Lit(kBanner));
      TakeArguments(args, settings);
    }

    TOutputNames names = DeriveNames(SourceName);
    SourceName = names.Source;
    HexName = names.Hex;
    PrnName = names.Prn;
    CodName = names.Cod;
    Show(window, TStatus()
                     .Lit(kTranslate)
                     .Native(SourceName)
                     .Lit(" nach ")
                     .Native(HexName)
                     .Lit(" (HEX-Datei)  +  ")
                     .Native(PrnName)
                     .Lit(" (AssemblerListe)\r"));
    host::SourceDir = host::DirectoryPart(SourceName);
    window.PumpMessages();

    if (!files.IsFile(SourceName)) {
      Show(window, TStatus().Lit("Datei ").Native(SourceName).Lit(" nicht gefunden\r"));
      result.Outcome = TRunOutcome::SourceMissing;
      WaitForClose(window);
      return result;
    }

    host::BindMainSource(SourceName);
    Show(window, TStatus().Lit("\rPass 1"));
    window.PumpMessages();
    PassOne = true;
    bool ok = passes::RunPass1();
    // After errors in pass 1 (of a run that goes on), pass 2 still lists
    // every line, but there is no HEX file to write.
    bool pass1Clean = passes::ErrorsReported == 0;
    if (ok) {
      PassOne = false;
      if (pass1Clean) Show(window, TStatus().Lit(" ...done\rPass 2"));
      host::CreateOutputFiles(pass1Clean ? HexName : std::string(), PrnName);
      Listing("\r\n");
      Listing(kListingHead);
      Listing("\r\n");
      ok = passes::RunPass2(true, pass1Clean) && pass1Clean;
      TSummary summary = Summary();
      if (ok) ListSummary(summary);
      Listing("\r\n");
      output::WriteSymbolList();
      // The files are complete on disk before the run says so: a full disk
      // must not follow a report of success.
      host::CloseOutputFiles();
      if (ok) {
        ShowSummary(window, summary);
      } else if (pass1Clean) {
        Show(window, TStatus().Lit(kWithErrors));
        result.FailedInPass2 = true;
      }
    }
    if (!ok) ReportError(window, result);
    host::CloseSourceFiles();
    WaitForClose(window);
  } catch (const host::TIoError& error) {
    host::AbandonOutputFiles();
    host::CloseSourceFiles();
    result.Outcome = TRunOutcome::IoError;
    result.IoText = IoErrorPieces(error);
    result.IoMessage = IoErrorText(error);
  }
  return result;
}

TStatusText IoErrorPieces(const host::TIoError& error) {
  static constexpr Ansi kOpen{"öffnen"};
  static constexpr Ansi kClose{"schließen"};
  std::string_view action;
  switch (error.Action) {
    case host::TIoAction::Open: action = kOpen; break;
    case host::TIoAction::Read: action = "lesen"; break;
    case host::TIoAction::Create: action = "anlegen"; break;
    case host::TIoAction::Write: action = "schreiben"; break;
    case host::TIoAction::Close: action = kClose; break;
  }
  TStatus text;
  text.Ansi("Laufzeitfehler: kann Datei \"").Native(error.File).Ansi("\" nicht ").Ansi(action).Ansi(" (");
  text.Native(error.Reason).Ansi(")");
  return text.Text;
}

std::string IoErrorText(const host::TIoError& error) {
  // The program's words are cp1252, which is the system's encoding only on
  // Windows.
#ifdef _WIN32
  return IoErrorPieces(error).Raw();
#else
  return IoErrorPieces(error).Utf8();
#endif
}

}  // namespace veltas::driver
