#include "passes/passes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "isa/handlers.h"
#include "isa/table.h"
#include "output/hex.h"
#include "output/listing.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::passes {

using namespace veltas::state;

using source::Token;
using symbols::PendingSymbol;

void (*CodeLineObserver)() = nullptr;
void (*ErrorObserver)() = nullptr;
void (*LineObserver)(bool pass2) = nullptr;
int ErrorsReported = 0;
bool StoppedAtLimit = false;

namespace {

enum class TPass { One, Two };

void StartPass() {
  isa::CoreKind = isa::Core14;
  CurrentSegment = SegCode;
  source::LineNumber = 1;
  source::IncludeDepth = 0;
  PassActive = true;
  CodeCounter = 0;
  RamCounter = 0;
  ClearError();
}

// The table-pointer mnemonics carry "*", "+" and "-", which no identifier
// can hold; they are taken from the characters right behind the word.
void TakeTablePointerSuffix() {
  if (Mnemonic != "TBLRD" && Mnemonic != "TBLWT") return;
  for (char c = source::CharAt(source::LinePos); c == '*' || c == '+' || c == '-';
       c = source::CharAt(source::LinePos)) {
    Mnemonic.push_back(c);
    ++source::LinePos;
  }
}

// Label field of pass 1: a name may be defined only once.
bool DefineLabel() {
  if (symbols::FindSymbol(Token)) {
    SetError(msg::DuplicateLabel);
    return false;
  }
  ClearError();
  return true;
}

// Label field of pass 2: the label must still stand where pass 1 put it.
bool CheckLabel() {
  ListingKind = ListAddress;
  if (!symbols::FindSymbol(Token)) return false;
  const symbols::TSymbol& s = *symbols::FoundSymbol;
  if ((s.Segment == symbols::SymCode && s.Value != CodeCounter) ||
      (s.Segment == symbols::SymRam && s.Value != RamCounter)) {
    SetError(msg::PhaseError);
    return false;
  }
  return true;
}

// What the rest of a run needs to know of the line being processed when it
// goes on after errors.
bool StopRun = false;       // the limit is reached, or an INCLUDE failed
bool LineReported = false;  // the line's error has been reported already
bool LineHasLabel = false;
bool LineDuplicate = false;   // behind a label defined before, the operation succeeded
bool Replaying = false;       // pass 2 runs a duplicate-label line's operation
std::size_t LineOrdinal = 0;  // lines read in this pass, for matching the passes

// A line that failed in pass 1, as pass 2 shows it again.
struct TFailedLine {
  std::size_t Ordinal;
  std::string Message;
  bool FollowOn;
  bool HasLabel;
  bool Duplicate;  // behind a duplicate label, its operation took effect in pass 1: run again
};
std::vector<TFailedLine> FailedLines;
std::size_t NextFailedLine = 0;
// The lengths pass 1 counted for every line, by ordinal: a statement that
// fails in pass 2 advances the counters by them.
std::vector<std::pair<std::uint16_t, std::uint16_t>> Pass1Lengths;

// Reports the current error unless it only follows from a failed
// definition; at the limit the run stops.
void ReportError() {
  LineReported = true;
  if (FollowOnError) return;
  ++ErrorsReported;
  if (ErrorObserver) ErrorObserver();
  if (ErrorLimit != 0 && ErrorsReported >= ErrorLimit) StopRun = StoppedAtLimit = true;
}

bool RowIs(isa::THandler pass1) { return CurrentEntry != 0 && isa::CurrentRow().Pass1 == pass1; }

// The operation of a statement after its label field. False on error.
bool ProcessOperation(TPass pass) {
  if (pass == TPass::One) {
    PendingSymbol.ValueType = symbols::TypeInteger;
    PendingSymbol.Value = CurrentSegment == SegCode ? CodeCounter : RamCounter;
  }
  if (Token.empty()) source::ReadToken();
  if (Token != ";") Mnemonic = Token;
  if (Mnemonic.empty()) return true;

  source::UpperCaseStr(Mnemonic);
  TakeTablePointerSuffix();
  if (!FindMnemonic()) return false;
  const isa::TMnemonicEntry& row = isa::CurrentRow();
  (pass == TPass::One ? row.Pass1 : row.Pass2)();
  return !Failed();
}

// One statement, up to and including its handler. False on error.
bool ProcessStatement(TPass pass) {
  PendingSymbol = symbols::TSymbol{};
  Mnemonic.clear();
  CurrentEntry = 0;
  CodeLength = 0;
  RamLength = 0;
  CodeIsGap = false;
  HasConfigByte = false;
  LineHasLabel = LineDuplicate = false;
  if (pass == TPass::Two) ListingKind = ListPlain;

  char first = source::PeekChar();
  if (first == ';' || first == '\0') return true;
  source::ReadToken();
  bool duplicate = false;
  if (source::PeekChar() == ':') {
    source::SkipPast(':');
    LineHasLabel = true;
    PendingSymbol.Name = Token;
    PendingSymbol.Segment = CurrentSegment;
    if (Replaying) {
      PendingSymbol.Name.clear();
    } else if (!(pass == TPass::One ? DefineLabel() : CheckLabel())) {
      if (pass == TPass::Two || !GoesOnAfterErrors()) return false;
      // The first definition stands; the rest of the line counts its words
      // as if it had no label, and only the duplicate is reported, where a
      // first error would be.
      ReportError();
      if (StopRun) return false;
      duplicate = true;
      PendingSymbol.Name.clear();
      ClearError();
    }
    Token.clear();
  }
  bool ok = ProcessOperation(pass);
  if (!duplicate) return ok;
  // An operation that failed here took no effect, and pass 2, which may
  // know a name this pass did not, must not run it for one.
  LineDuplicate = ok;
  SetError(msg::DuplicateLabel);
  return false;
}

// After a failing pass-1 statement of a run that goes on: its label is
// defined where it stands, a failed EQU or BIT name as failed, and pass 2
// will show the line with its message instead of processing it again.
void KeepFailedLine() {
  FailedLines.push_back({LineOrdinal, ErrorText, FollowOnError, LineHasLabel, LineDuplicate});
  if (PendingSymbol.Name.empty()) return;
  PendingSymbol.Failed = RowIs(isa::EquPass1) || RowIs(isa::BitPass1);
  symbols::AddSymbol();
}

// Pass 2 on a line that failed in pass 1: listed in the plain or address
// layout with its pass-1 message, and the counters advance as in pass 1.
bool ShowFailedLine() {
  if (NextFailedLine >= FailedLines.size() || FailedLines[NextFailedLine].Ordinal != LineOrdinal) return false;
  const TFailedLine& line = FailedLines[NextFailedLine++];
  // Behind a duplicate label, SEG, ORG, a core, INCLUDE or END took effect
  // in pass 1; pass 2 must follow them. What the operation says is not
  // shown: the line reports its label.
  if (line.Duplicate) {
    Replaying = true;
    ProcessStatement(TPass::Two);
    Replaying = false;
  }
  PendingSymbol = symbols::TSymbol{};
  ListingKind = line.HasLabel ? ListAddress : ListPlain;
  SetError(line.Message);
  FollowOnError = line.FollowOn;
  return true;
}

void TakePass1Lengths() {
  if (LineOrdinal >= Pass1Lengths.size()) return;
  CodeLength = Pass1Lengths[LineOrdinal].first;
  RamLength = Pass1Lengths[LineOrdinal].second;
}

void AdvanceLine() {
  ++source::LineNumber;
  CodeCounter = static_cast<std::uint16_t>(CodeCounter + CodeLength);
  RamCounter = static_cast<std::uint16_t>(RamCounter + RamLength);
}

// The program words written in pass 2, one flag per word address. A word
// written twice leaves the device with whichever its programmer takes last.
// The last word of a statement at FFFFh can lie as far as 127 words beyond.
std::vector<bool> WordWritten;

// The configuration bytes (300000h..3000FFh) and ID bytes (200000h..200007h)
// that CONFIG wrote in pass 2.
std::vector<bool> ConfigByteWritten;

bool AddressTaken(std::uint32_t address, int digits) {
  std::string text(msg::WordTakenPrefix.view());
  text += output::HexDigits(address, digits);
  text += msg::WordTakenSuffix.view();
  SetError(text);
  return false;
}

// Fails when one of the line's words, or its configuration byte, lands
// where an earlier line put one.
bool ClaimWords() {
  if (HasConfigByte) {
    std::size_t slot = (ConfigByteAddress & 0xFF) + (ConfigByteAddress < 0x300000 ? 0x100 : 0);
    if (ConfigByteWritten[slot]) return AddressTaken(ConfigByteAddress, 6);
    ConfigByteWritten[slot] = true;
  }
  if (CodeLength == 0 || CodeIsGap) return true;
  std::uint32_t first = CodeCounter, end = first + CodeLength;
  for (std::uint32_t a = first; a < end; ++a)
    if (WordWritten[a]) return AddressTaken(a, 4);
  for (std::uint32_t a = first; a < end; ++a) WordWritten[a] = true;
  return true;
}

// Notes where the line's code ends: below the configuration area it extends
// the program, inside it it sets the ID or configuration words.
void TrackConfiguration() {
  if (CodeLength == 0 || CodeIsGap) return;
  if (isa::CoreKind == isa::Core14Enh) ConfigBase = 0x8000;
  std::uint32_t last = static_cast<std::uint32_t>(CodeCounter) + CodeLength - 1;
  if (last < ConfigBase) {
    HighestCodeAddress = std::max(HighestCodeAddress, last);
    return;
  }
  if (last < ConfigBase + 4) IdWordsSeen = true;
  if (last == ConfigBase + 7) FusesSeen = true;
  if (last == ConfigBase + 8) Fuses2Seen = true;
}

}  // namespace

bool FindMnemonic() {
  CurrentEntry = isa::LookupMnemonic(Mnemonic);
  if (CurrentEntry != 0) return true;
  SetError(msg::IllegalOperation);
  return false;
}

bool RunPass1() {
  StartPass();
  source::Hooks.RewindSource();
  symbols::ClearSymbols();
  ErrorsReported = 0;
  StoppedAtLimit = StopRun = false;
  FailedLines.clear();
  Pass1Lengths.clear();
  for (LineOrdinal = 0; PassActive && source::NextSourceLine(); ++LineOrdinal) {
    ClearError();
    LineReported = false;
    bool ok = ProcessStatement(TPass::One);
    if (ok && !PendingSymbol.Name.empty()) ok = symbols::AddSymbol();
    if (!ok) {
      if (!LineReported) ReportError();
      // Every error after a missing include file would be a guess.
      if (RowIs(source::IncludeHandler)) StopRun = true;
      if (StopRun) return false;
      KeepFailedLine();
    }
    if (GoesOnAfterErrors()) Pass1Lengths.emplace_back(CodeLength, RamLength);
    if (LineObserver) LineObserver(false);
    AdvanceLine();
  }
  return true;
}

bool RunPass2(bool withListing, bool withHex) {
  StartPass();
  ConfigBase = 0x2000;
  output::HexReset();
  HighestCodeAddress = 0;
  IdWordsSeen = FusesSeen = Fuses2Seen = false;
  WordWritten.assign(0x10000 + MaxCodeWords, false);
  ConfigByteWritten.assign(0x108, false);
  // Pass 1 writes no code words; a listing must not show an earlier run's.
  CodeWords.fill(0);
  NextFailedLine = 0;
  bool failed = false;
  source::Hooks.RewindSource();
  for (LineOrdinal = 0; PassActive && source::NextSourceLine(); ++LineOrdinal) {
    ClearError();
    bool listed = source::FileListed[static_cast<std::size_t>(source::IncludeDepth)];
    bool ok = false;
    if (!ShowFailedLine()) {
      ok = ProcessStatement(TPass::Two) && ClaimWords();
      if (!ok) {
        ReportError();
        if (RowIs(source::IncludeHandler)) StopRun = true;
      }
    }
    if (withListing && (listed || !ok)) output::WriteListingLine();
    if (StopRun) return false;
    if (ok) {
      if (withHex) output::HexWriteLine();
      if (CodeLineObserver && CodeLength != 0 && !CodeIsGap) CodeLineObserver();
      TrackConfiguration();
    } else {
      failed = true;
      TakePass1Lengths();  // so that no later label becomes a phase error
    }
    if (LineObserver) LineObserver(true);
    AdvanceLine();
  }
  if (withHex && !failed) output::HexFinish();
  return !failed;
}

}  // namespace veltas::passes
