#include "passes/passes.h"

#include <algorithm>
#include <string>
#include <vector>

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

// One statement, up to and including its handler. False on error.
bool ProcessStatement(TPass pass) {
  PendingSymbol = symbols::TSymbol{};
  Mnemonic.clear();
  CodeLength = 0;
  RamLength = 0;
  CodeIsGap = false;
  HasConfigByte = false;
  if (pass == TPass::Two) ListingKind = ListPlain;

  char first = source::PeekChar();
  if (first == ';' || first == '\0') return true;
  source::ReadToken();
  if (source::PeekChar() == ':') {
    source::SkipPast(':');
    PendingSymbol.Name = Token;
    PendingSymbol.Segment = CurrentSegment;
    if (!(pass == TPass::One ? DefineLabel() : CheckLabel())) return false;
    Token.clear();
  }
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
  while (PassActive && source::NextSourceLine()) {
    if (!ProcessStatement(TPass::One)) return false;
    if (!PendingSymbol.Name.empty() && !symbols::AddSymbol()) return false;
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
  source::Hooks.RewindSource();
  while (PassActive && source::NextSourceLine()) {
    bool listed = source::FileListed[static_cast<std::size_t>(source::IncludeDepth)];
    bool ok = ProcessStatement(TPass::Two) && ClaimWords();
    if (withListing && (listed || !ok)) output::WriteListingLine();
    if (!ok) return false;
    if (withHex) output::HexWriteLine();
    if (CodeLineObserver && CodeLength != 0 && !CodeIsGap) CodeLineObserver();
    TrackConfiguration();
    AdvanceLine();
  }
  if (withHex) output::HexFinish();
  return true;
}

}  // namespace veltas::passes
