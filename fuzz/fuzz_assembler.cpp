// libFuzzer target: the whole program (both passes, listing, HEX file, symbol
// list) on arbitrary bytes through the in-memory file system, with the
// invariants that hold for every input. A violation aborts, so libFuzzer
// keeps the input. Input layout (fuzz/README.md): the main source, then up
// to four include files, each after "\n@@FILE <name>\n".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "driver/run.h"
#include "isa/table.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "state/state.h"
#include "tests/support/fake_window.h"
#include "tests/support/memory_files.h"

namespace {

using namespace veltas;
using TLineState = std::tuple<int, int, int, int, std::int32_t, int>;

// What one run left behind.
struct TRun {
  driver::TRunResult Result;
  std::string Status, Hex, Prn;
  int Creates = 0;
  std::vector<TLineState> Lines[2];  // the state at every line fetch of each pass
};

TRun* Now = nullptr;
source::THostHooks Real;

[[noreturn]] void Fail(const std::string& what) {
  const driver::TRunResult& r = Now->Result;
  std::fprintf(stderr, "\n*** invariant violated: %s\noutcome %d, pass 2 %d, \"%s\" at %s:%d:%d\n", what.c_str(),
               static_cast<int>(r.Outcome), r.FailedInPass2, r.ErrorMessage.c_str(), r.ErrorFile.c_str(),
               static_cast<int>(r.ErrorLine), r.ErrorColumn);
  std::abort();
}
void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

// Hooks in front of the host's: the outputs are created between the passes,
// so a write before that is a write in pass 1 (which the host would drop).
bool ReadLine() {
  Now->Lines[Now->Creates > 0].emplace_back(state::CodeCounter, state::RamCounter, state::CurrentSegment, isa::CoreKind,
                                            source::LineNumber, source::IncludeDepth);
  return Real.ReadSourceLine();
}
void WriteHex(std::string_view text) { Check(Now->Creates > 0, "HEX written in pass 1"), Real.WriteHex(text); }
void WriteListing(std::string_view text) {
  Check(Now->Creates > 0, "listing written in pass 1"), Real.WriteListing(text);
}

class TWatchedFiles : public testing::TMemoryFiles {
 public:
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override {
    if (source::Hooks.ReadSourceLine != ReadLine) {  // the run has installed the host's hooks
      Real = source::Hooks;
      source::Hooks.ReadSourceLine = ReadLine;
      source::Hooks.WriteHex = WriteHex;
      source::Hooks.WriteListing = WriteListing;
    }
    return TMemoryFiles::OpenRead(name, reason);
  }
  std::unique_ptr<host::TOutputFile> Create(const std::string& name) override {
    ++Now->Creates;
    return TMemoryFiles::Create(name);
  }
};

TRun RunOnce(std::string_view input, int maxErrors = 1) {
  TRun run;
  Now = &run;
  TWatchedFiles files;
  const std::string_view sep = "\n@@FILE ";
  std::size_t cut = input.find(sep);
  files.Inputs["main.pic"] = std::string(input.substr(0, cut));
  for (int n = 0; n < 4 && cut != std::string_view::npos; ++n) {
    std::size_t nameEnd = input.find('\n', cut + sep.size());
    if (nameEnd == std::string_view::npos) break;
    std::string name(input.substr(cut + sep.size(), nameEnd - cut - sep.size()));
    cut = input.find(sep, nameEnd);
    files.Inputs.emplace(name, input.substr(nameEnd + 1, cut == std::string_view::npos ? cut : cut - nameEnd - 1));
  }
  testing::TFakeWindow window;
  driver::TRunSettings settings;
  settings.MaxErrors = maxErrors;
  run.Result = driver::RunSequence({"-L", "main.pic"}, window, files, settings);
  run.Status = driver::StatusText.Raw();
  run.Hex = files.Outputs["main.HEX"];
  run.Prn = files.Outputs["main.PRN"];
  return run;
}

int HexDigit(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; }

// Lines ended by CR LF, each at most `limit` characters with its CR LF.
std::vector<std::string_view> Lines(std::string_view text, std::size_t limit, const char* what) {
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0, end; pos < text.size(); pos = end + 2) {
    end = text.find("\r\n", pos);
    if (end == std::string_view::npos || end - pos + 2 > limit)
      Fail(std::string(what) + " line without CR LF or over " + std::to_string(limit) + " characters");
    lines.push_back(text.substr(pos, end - pos));
  }
  return lines;
}

void CheckRun(const TRun& run) {
  const driver::TRunResult& r = run.Result;
  bool ok = r.Outcome == driver::TRunOutcome::Success;
  Check(ok || r.Outcome == driver::TRunOutcome::AssemblyError, "neither success nor an assembly error");
  const std::string report = "\r\rFehler: ";
  std::size_t first = run.Status.find(report);
  if (ok) {
    Check(first == std::string::npos && r.ErrorMessage.empty() && !r.FailedInPass2, "success with an error");
    Check(run.Status.ends_with("h : gesetzt\r") || run.Status.ends_with("h : fehlen!\r"), "success without ID line");
  } else {
    Check(first == run.Status.rfind(report) && !r.ErrorMessage.empty() && r.ErrorMessage.size() <= 80,
          "not one error report");
    Check(run.Status.ends_with(report + r.ErrorMessage + " in\r\"" + r.ErrorFile + "\"  Zeile " +
                               std::to_string(r.ErrorLine) + " bei Pos " + std::to_string(r.ErrorColumn)),
          "status does not end with the error report");
    Check(r.ErrorMessage != "Phasenfehler. sorry...", "the passes disagree: phase error");
    Check(!r.FailedInPass2 || r.ErrorMessage != "Marke nicht gefunden", "the passes disagree: label lost");
  }
  if (!ok && !r.FailedInPass2) return Check(run.Creates == 0 && run.Lines[1].empty(), "outputs after pass 1 failed");
  Check(run.Creates == 2, "pass 2 without both outputs");
  // Pass 2 walks the lines of pass 1 in the same states, as far as it gets.
  const auto &one = run.Lines[0], &two = run.Lines[1];
  Check(ok ? two.size() == one.size() : two.size() <= one.size(), "the passes read different numbers of lines");
  for (std::size_t i = 0; i < two.size(); ++i)
    if (two[i] != one[i]) Fail("the passes disagree at line fetch " + std::to_string(i + 1));
  bool end = false;
  for (std::string_view rec : Lines(run.Hex, 11 + 2 * 16 + 2, "HEX")) {
    Check(!end && rec.size() >= 11 && rec[0] == ':' && rec.size() % 2 == 1, "malformed record");
    std::vector<int> b;
    int sum = 0;
    for (std::size_t i = 1; i < rec.size(); i += 2) {
      b.push_back(HexDigit(rec[i]) * 16 + HexDigit(rec[i + 1]));
      Check(HexDigit(rec[i]) >= 0 && HexDigit(rec[i + 1]) >= 0, "not upper-case hexadecimal");
      sum += b.back();
    }
    Check(b.size() == b[0] + 5u && sum % 256 == 0, "byte count or checksum wrong");
    end = b[3] == 1;
    Check(
        (b[3] == 0 && b[0] >= 1) || (b[3] == 4 && b[0] == 2 && b[1] == 0 && b[2] == 0) || (end && rec == ":00000001FF"),
        "bad record type or end record");
  }
  Check(end == ok, "end record not exactly on success");
  Lines(run.Prn, 128, "listing");
}

// A run that goes on after errors: without errors the default run's bytes;
// otherwise its first error is the default run's, no phase error, pass 2
// walks pass 1's states line by line, and no HEX file after pass-1 errors.
void CheckAllErrors(const TRun& run, const TRun& single) {
  const driver::TRunResult &r = run.Result, &d = single.Result;
  if (r.Outcome == driver::TRunOutcome::Success && d.Outcome == r.Outcome)
    return Check(run.Status == single.Status && run.Hex == single.Hex && run.Prn == single.Prn, "other bytes");
  Check(d.Outcome == r.Outcome && r.ErrorFile == d.ErrorFile && r.ErrorLine == d.ErrorLine &&
            r.ErrorColumn == d.ErrorColumn && r.ErrorMessage == d.ErrorMessage,
        "the first error is not the default run's");
  for (const driver::TErrorReport& e : r.Errors)
    Check(!e.Message.empty() && e.Message.size() <= 80 && e.Message != "Phasenfehler. sorry...", "a bad error");
  Check(r.Errors.size() == 1 || run.Status.ends_with(" weitere Fehler"), "no count of the further errors");
  Check(run.Lines[1].empty() || run.Lines[1] == run.Lines[0], "the passes disagree");
  Check(r.Errors.front().InPass2 || run.Creates <= 1, "a HEX file after errors in pass 1");
  Check(run.Hex.find(":00000001FF") == std::string::npos, "an end record after errors");
  Lines(run.Prn, 128, "listing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  TRun first = RunOnce(input);
  CheckRun(first);
  // The core keeps its state in globals and resets it at every pass: a
  // second run must give the same result.
  TRun second = RunOnce(input);
  Check(first.Result.Outcome == second.Result.Outcome && first.Status == second.Status && first.Hex == second.Hex &&
            first.Prn == second.Prn,
        "a second run of the same input gave another result");
  CheckAllErrors(RunOnce(input, 0), first);
  return 0;
}
