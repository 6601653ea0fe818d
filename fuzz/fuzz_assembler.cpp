// libFuzzer target: the whole program (both passes, listing, HEX file and
// symbol list) on arbitrary bytes, through the in-memory file system, with the
// invariants that must hold for every input checked after each run.
//
// Input layout: the main source "main.pic", optionally followed by include
// files, each introduced by the separator "\n@@FILE " and a name line:
//   <main source>\n@@FILE a.inc\n<contents of a.inc>\n@@FILE b.inc\n...
// The fuzzer can therefore reach INCLUDE with files that exist, that don't,
// that include themselves or each other.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"
#include "fuzz/invariants.h"
#include "isa/table.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "state/state.h"
#include "tests/support/fake_window.h"
#include "tests/support/memory_files.h"

namespace {

using veltas::fuzz::TObservation;

constexpr std::string_view kSeparator = "\n@@FILE ";
constexpr std::size_t kMaxIncludeFiles = 4;
constexpr const char* kMainName = "main.pic";

// Where the run stands, as seen from the file system and the output hooks.
enum class TPhase { BeforePass1, Pass1, OutputsCreated, Pass2 };

TObservation* Observed = nullptr;
TPhase Phase = TPhase::BeforePass1;
void (*RealWriteHex)(std::string_view) = nullptr;
void (*RealWriteListing)(std::string_view) = nullptr;
bool (*RealReadSourceLine)() = nullptr;

// Where each pass stands whenever it fetches a line: both passes must pass
// through the same states, line by line, whether or not a label follows.
veltas::fuzz::TLineState Now() {
  return {veltas::state::CodeCounter, veltas::state::RamCounter, veltas::state::CurrentSegment,
          veltas::isa::CoreKind,       veltas::source::LineNumber, veltas::source::IncludeDepth};
}
bool CheckedReadSourceLine() {
  if (Phase == TPhase::Pass1) Observed->Pass1Lines.push_back(Now());
  if (Phase == TPhase::Pass2) Observed->Pass2Lines.push_back(Now());
  return RealReadSourceLine();
}

// Output hooks put in front of the host's: the host drops writes while no
// output file is open, which would hide a core that writes in pass 1.
void CheckedWriteHex(std::string_view text) {
  if (Phase == TPhase::Pass1 || Phase == TPhase::BeforePass1) Observed->Fail("HEX written in pass 1");
  RealWriteHex(text);
}
void CheckedWriteListing(std::string_view text) {
  if (Phase == TPhase::Pass1 || Phase == TPhase::BeforePass1) Observed->Fail("listing written in pass 1");
  RealWriteListing(text);
}

// The in-memory file system, watching the order of events: the first opening
// of the main source starts pass 1, the outputs are created after pass 1, and
// the next opening of the main source after that starts pass 2.
class TWatchedFiles : public veltas::testing::TMemoryFiles {
 public:
  std::unique_ptr<veltas::host::TInputFile> OpenRead(const std::string& name, std::string& reason) override {
    if (Phase == TPhase::BeforePass1) {
      if (name != kMainName) Observed->Fail("pass 1 did not start with the main source");
      if (!Outputs.empty()) Observed->Fail("output written before pass 1");
      // The run sequence installed the host's hooks before pass 1; wrap the
      // line fetch and the two output operations now.
      RealWriteHex = veltas::source::Hooks.WriteHex;
      RealWriteListing = veltas::source::Hooks.WriteListing;
      RealReadSourceLine = veltas::source::Hooks.ReadSourceLine;
      veltas::source::Hooks.WriteHex = CheckedWriteHex;
      veltas::source::Hooks.WriteListing = CheckedWriteListing;
      veltas::source::Hooks.ReadSourceLine = CheckedReadSourceLine;
      Phase = TPhase::Pass1;
    } else if (Phase == TPhase::OutputsCreated && name == kMainName) {
      // Pass 2 rewinds the main source; only the listing head is written.
      Phase = TPhase::Pass2;
      if (auto it = Outputs.find("main.PRN"); it != Outputs.end()) Observed->HeadBeforePass2 = it->second;
      if (auto it = Outputs.find("main.HEX"); it != Outputs.end()) Observed->HexBeforePass2 = it->second;
    }
    return TMemoryFiles::OpenRead(name, reason);
  }
  std::unique_ptr<veltas::host::TOutputFile> Create(const std::string& name) override {
    if (Phase != TPhase::Pass1 && Phase != TPhase::OutputsCreated) Observed->Fail("output created outside pass 1 and 2");
    ++Observed->Creates;
    Phase = TPhase::OutputsCreated;
    return TMemoryFiles::Create(name);
  }
};

// Splits the input into the main source and the include files.
void SplitInput(std::string_view input, TWatchedFiles& files) {
  std::size_t cut = input.find(kSeparator);
  files.Inputs[kMainName] = std::string(input.substr(0, cut));
  std::size_t included = 0;
  while (cut != std::string_view::npos && included < kMaxIncludeFiles) {
    std::size_t nameStart = cut + kSeparator.size();
    std::size_t nameEnd = input.find('\n', nameStart);
    if (nameEnd == std::string_view::npos) break;
    std::string name(input.substr(nameStart, nameEnd - nameStart));
    cut = input.find(kSeparator, nameEnd);
    std::size_t end = cut == std::string_view::npos ? input.size() : cut;
    bool usable = !name.empty() && name != kMainName && name.size() <= 64;
    for (char c : name)
      if (static_cast<unsigned char>(c) < 32) usable = false;  // keeps the status text's lines apart
    if (usable) {
      files.Inputs[name] = std::string(input.substr(nameEnd + 1, end - nameEnd - 1));
      ++included;
    }
  }
}

TObservation RunOnce(std::string_view input) {
  TObservation seen;
  Observed = &seen;
  Phase = TPhase::BeforePass1;
  TWatchedFiles files;
  SplitInput(input, files);
  veltas::testing::TFakeWindow window;
  seen.Result = veltas::driver::RunSequence({"-L", kMainName}, window, files);
  seen.Status = veltas::driver::StatusText.Raw();
  if (auto it = files.Outputs.find("main.HEX"); it != files.Outputs.end()) {
    seen.Hex = it->second;
    seen.HexWritten = true;
  }
  if (auto it = files.Outputs.find("main.PRN"); it != files.Outputs.end()) {
    seen.Prn = it->second;
    seen.PrnWritten = true;
  }
  seen.ReachedPass2 = Phase == TPhase::Pass2;
  Observed = nullptr;
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  TObservation first = RunOnce(input);
  veltas::fuzz::CheckRun(first);
  // The core keeps its state in globals and resets it at every pass: a
  // second run of the same input must give the same result.
  TObservation second = RunOnce(input);
  veltas::fuzz::CheckSameRun(first, second);
  return 0;
}
