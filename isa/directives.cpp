// The directives: core selection, segments, ORG, DS, DATA, EQU, BIT, END,
// CONFIG.
// (TITLE runs the generic handlers; INCLUDE lives with the source input.)
#include <string>

#include "expr/expr.h"
#include "isa/handlers.h"
#include "isa/table.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::isa {

using state::Failed;
using state::SetError;
using symbols::PendingSymbol;

namespace {

void SelectCore(TCore core) {
  CountInstruction();
  if (!Failed()) CoreKind = core;
}

// One more DATA word; CodeWords has room for 128.
bool CountDataWord() {
  if (state::CodeLength >= state::MaxCodeWords) {
    SetError(msg::TooManyDataWords);
    return false;
  }
  ++state::CodeLength;
  return true;
}

bool StoreDataWord(std::uint16_t word) {
  if (state::CodeLength >= state::MaxCodeWords) {
    SetError(msg::TooManyDataWords);
    return false;
  }
  state::CodeWords[state::CodeLength++] = word;
  return true;
}

// Whether the quote at pos opens a quoted binary number: it follows a lone
// letter B or b, blanks between allowed.
bool QuoteOpensBinary(int pos) {
  int q = pos - 1;
  while (q >= 1 && source::IsBlank(source::CharAt(q))) --q;
  char letter = source::CharAt(q);
  if (q < 1 || (letter != 'B' && letter != 'b')) return false;
  return q == 1 || !source::IsIdentContinue(source::CharAt(q - 1));
}

// Steps over a DATA value item the way the expression will read it in pass
// 2: up to the next "," or ";" outside a character constant or a quoted
// binary number. Pass 1 must count exactly the words pass 2 stores.
void SkipValueItem() {
  int length = static_cast<int>(source::CurrentLine.size());
  int p = source::LinePos;
  while (p <= length) {
    char c = source::CharAt(p);
    if (c == ',' || c == ';') break;
    if (c != '\'') {
      ++p;
    } else if (QuoteOpensBinary(p)) {
      std::size_t close = source::CurrentLine.find('\'', static_cast<std::size_t>(p));
      p = close == std::string::npos ? length + 1 : static_cast<int>(close) + 2;
    } else {
      p += 3;  // quote, character, closing quote
    }
  }
  source::LinePos = p;
}

// Reads a DATA string whose opening quote has been consumed, calling take
// for every character; false when the line ends first or take fails.
template <typename TTake>
bool ReadDataString(char quote, TTake take) {
  for (;;) {
    if (!source::LineHasMore()) {
      SetError(msg::StringNoEnd);
      return false;
    }
    char c = source::NextChar();
    if (c == quote) return true;
    if (!take(c)) return false;
  }
}

// A count beyond 0..65535 would move the counter back or wrap it.
void SetReservedLength(std::int32_t count) {
  if (count < 0 || count > 0xFFFF) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  auto cells = static_cast<std::uint16_t>(count);
  if (state::CurrentSegment == state::SegCode) {
    state::CodeLength = cells;
    state::CodeIsGap = true;
  } else {
    state::RamLength = cells;
  }
}

// EQU and BIT show in pass 2 what pass 1 computed.
void ShowDefinedSymbol(int listingKind) {
  StartInstruction();
  if (Failed()) return;
  if (symbols::FindSymbol(PendingSymbol.Name)) PendingSymbol = *symbols::FoundSymbol;
  state::ListingKind = listingKind;
}

}  // namespace

void Core12Directive() { SelectCore(Core12); }
void Core14Directive() { SelectCore(Core14); }
void Core14EnhDirective() { SelectCore(Core14Enh); }
void Core16Directive() { SelectCore(Core16); }

void SegDirective() {
  state::CodeLength = 0;
  source::ReadToken();
  std::string word = source::Token;
  source::UpperCaseStr(word);
  if (word == "CODE") {
    state::CurrentSegment = state::SegCode;
  } else if (word == "RAM") {
    state::CurrentSegment = state::SegRam;
  } else {
    SetError(msg::SegmentArgument);
    return;
  }
  state::ListingKind = state::ListAddress;
}

void OrgDirective() {
  CountInstruction();
  if (Failed()) return;
  std::int32_t address = expr::EvalInt('\0');
  if (Failed()) return;
  if (address < 0 || address > 0xFFFF) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  if (state::CurrentSegment == state::SegCode)
    state::CodeCounter = static_cast<std::uint16_t>(address);
  else
    state::RamCounter = static_cast<std::uint16_t>(address);
  state::ListingKind = state::ListAddress;
}

void DsPass1() {
  CountInstruction();
  if (Failed()) return;
  std::int32_t count = expr::EvalInt('\0');
  if (!Failed()) SetReservedLength(count);
}

void DsPass2() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t count = expr::EvalInt('\0');
  if (Failed()) return;
  SetReservedLength(count);
  state::ListingKind = state::ListAddress;
}

void DataPass1() {
  CountInstruction();
  if (Failed()) return;
  if (state::CurrentSegment != state::SegCode) {
    SetError(msg::CodeSegmentOnly);
    return;
  }
  state::CodeLength = 0;
  char next = source::PeekChar();
  if (next == '\0' || next == ',' || next == ';') {
    SetError(msg::OperandExpected);
    return;
  }
  for (;;) {
    source::SkipBlanks();
    char first = source::NextChar();
    if (first == '"' || first == '\'') {
      if (!ReadDataString(first, [](char) { return CountDataWord(); })) return;
    } else {
      if (!CountDataWord()) return;
      SkipValueItem();
    }
    if (source::PeekChar() != ',') return;
    source::SkipPast(',');
  }
}

void DataPass2() {
  StartInstruction();
  if (Failed()) return;
  state::ListingKind = state::ListCode;
  state::CodeLength = 0;
  for (;;) {
    char first = source::PeekChar();
    if (first == '"' || first == '\'') {
      source::SkipPast(first);
      auto store = [](char c) { return StoreDataWord(static_cast<unsigned char>(c)); };
      if (!ReadDataString(first, store)) return;
    } else {
      std::int32_t value = expr::EvalInt('\0');
      if (Failed()) return;
      if (value > 65535 || value < -2147483647) {
        SetError(msg::ValueOutOfRange);
        return;
      }
      if (!StoreDataWord(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu))) return;
    }
    if (source::PeekChar() != ',') return;
    source::SkipPast(',');
  }
}

void EquPass1() {
  CountInstruction();
  if (Failed()) return;
  if (PendingSymbol.Name.empty()) {
    SetError(msg::LabelExpected);
    return;
  }
  expr::TValue value = expr::Expression('\0');
  if (Failed()) return;
  if (value.IsFloat()) {
    PendingSymbol.FloatValue = value.Real;
    PendingSymbol.Value = expr::Round(value.Real);
    PendingSymbol.ValueType = symbols::TypeFloat;
  } else {
    PendingSymbol.FloatValue = value.Int;
    PendingSymbol.Value = value.Int;
    PendingSymbol.ValueType = symbols::TypeInteger;
  }
  if (!Failed()) PendingSymbol.Segment = symbols::SymConstant;
}

void EquPass2() { ShowDefinedSymbol(state::ListConstant); }

void BitPass1() {
  CountInstruction();
  if (Failed()) return;
  if (PendingSymbol.Name.empty()) {
    SetError(msg::LabelExpected);
    return;
  }
  std::int32_t reg = expr::EvalInt('\0');
  if (Failed()) return;
  if (reg < 0 || reg > LargestRegister()) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  if (source::PeekChar() != ',') {
    SetError(msg::BitSyntax);
    return;
  }
  source::SkipPast(',');
  std::int32_t bit = expr::EvalInt('\0');
  if (Failed()) return;
  if (bit < 0 || bit > 7) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  PendingSymbol.Value = reg;
  PendingSymbol.BitNumber = static_cast<std::uint8_t>(bit);
  PendingSymbol.Segment = symbols::SymBit;
  PendingSymbol.ValueType = symbols::TypeInteger | symbols::TypeBitNumber;
}

void BitPass2() { ShowDefinedSymbol(state::ListBitName); }

void EndDirective() {
  if (source::IncludeDepth > 0) {
    SetError(msg::EndInInclude);
    return;
  }
  state::PassActive = false;
}

// CONFIG address, value: one configuration byte (300000h..3000FFh) or ID
// byte (200000h..200007h) of the 16-bit core. These lie beyond the code
// counter's reach, so the byte occupies no program word.
void ConfigPass1() {
  CountInstruction();
  if (!Failed() && state::CurrentSegment != state::SegCode) SetError(msg::CodeSegmentOnly);
}

void ConfigPass2() {
  StartInstruction();
  if (Failed()) return;
  state::ListingKind = PendingSymbol.Name.empty() ? state::ListPlain : state::ListAddress;
  std::int32_t address = expr::EvalInt('\0');
  if (Failed()) return;
  if ((address < 0x300000 || address > 0x3000FF) && (address < 0x200000 || address > 0x200007)) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  if (source::PeekChar() != ',') {
    SetError(msg::ConfigSyntax);
    return;
  }
  source::SkipPast(',');
  std::int32_t value = expr::EvalInt('\0');
  if (Failed()) return;
  if (value < 0 || value > 0xFF) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  state::HasConfigByte = true;
  state::ConfigByteAddress = static_cast<std::uint32_t>(address);
  state::ConfigByteValue = static_cast<std::uint8_t>(value);
  state::ListingKind = state::ListConfigByte;
}

}  // namespace veltas::isa
