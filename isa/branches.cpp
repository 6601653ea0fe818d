// Bit, skip, branch, call, goto and return operands.
#include <string>
#include <vector>

#include "expr/expr.h"
#include "isa/handlers.h"
#include "isa/table.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::isa {

using state::CodeWord;
using state::CodeWords;
using state::Failed;
using state::SetError;

namespace {

int BitShift() {
  switch (CoreKind) {
    case Core12: return 5;
    case Core16: return 9;
    default: return 7;
  }
}

std::uint16_t BitOperand(std::int32_t reg, std::int32_t bit) {
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(reg) | (static_cast<std::uint32_t>(bit) << BitShift()));
}

bool RegisterBitValid(std::int32_t reg, std::int32_t bit) {
  return reg >= 0 && reg <= LargestRegister() && bit >= 0 && bit <= 7;
}

// Reads the word at LinePos and, if it names a bit, yields its register and
// bit. A failed lookup leaves no message behind.
bool ReadBitName(std::int32_t& reg, std::int32_t& bit) {
  source::ReadToken();
  if (!source::Token.empty() && symbols::FindSymbol(source::Token)) {
    const symbols::TSymbol& s = *symbols::FoundSymbol;
    if (s.Failed) {
      // A bit name whose BIT failed: the statement fails, unreported.
      state::SetFollowOnError(msg::LabelNotFound);
      reg = bit = 0;
      return true;
    }
    if (s.Segment == symbols::SymBit) {
      reg = s.Value;
      bit = s.BitNumber;
      return true;
    }
  }
  state::ClearError();
  return false;
}

// Sets the sense of a bit test: skip when the bit is set (BTFSS) or clear
// (BTFSC). The 12- and 14-bit cores turn their BTFSC base into BTFSS with
// the sense bit; the 16-bit core has separate opcodes for the two senses.
void SetSkipSense(bool skipOnSet) {
  if (IsCore16()) {
    CodeWord() = skipOnSet ? 0xA000 : 0xB000;
    return;
  }
  std::uint16_t sense = CoreKind == Core12 ? 0x100 : 0x400;
  if (skipOnSet)
    CodeWord() |= sense;
  else
    CodeWord() &= static_cast<std::uint16_t>(~sense);
}

struct TCondition {
  std::string_view Name;
  std::int32_t Bit;
  bool SkipOnSet;
};

// Conditions on the status register: Z is bit 2, DC bit 1, C bit 0.
constexpr TCondition kConditions[] = {
    {"Z", 2, true}, {"NZ", 2, false}, {"C", 0, true}, {"NC", 0, false}, {"DC", 1, true}, {"NDC", 1, false},
};

std::int32_t StatusRegister() { return IsCore16() ? 0xD8 : 3; }

// The 16-bit core's CALL and GOTO: two words, the target's low 8 bits in the
// first, bits 8..19 in the second. False if the target is out of range; the
// second word is then left as it stood, as the listing shows it.
bool EncodeLongTarget(std::int32_t target) {
  state::CodeLength = 2;
  if (target < 0 || target > 0xFFFFF) {
    SetError(msg::ValueOutOfRange);
    return false;
  }
  CodeWord() |= static_cast<std::uint16_t>(target & 0xFF);
  CodeWords[1] = static_cast<std::uint16_t>(0xF000 | ((static_cast<std::uint32_t>(target) >> 8) & 0xFFFu));
  return true;
}

// A jump target: an expression, or "$" for the instruction's own address,
// optionally followed by "+" or "-" and more expression. After "$" and
// anything else the rest of the line is not examined.
std::int32_t ReadTarget() {
  source::SkipBlanks();
  if (source::CharAt(source::LinePos) != '$') return expr::EvalInt('\0');
  int dollar = source::LinePos++;
  char next = source::PeekChar();
  if (next == '+' || next == '-') return expr::EvalIntAfter(state::CodeCounter, '\0');
  source::LinePos = dollar;
  return state::CodeCounter;
}

}  // namespace

void BitForm() {
  StartInstruction();
  if (Failed()) return;
  int start = source::LinePos;
  std::int32_t reg = 0, bit = 0;
  if (ReadBitName(reg, bit)) {
    if (reg < 0 || reg > LargestRegister()) {
      SetError(msg::BitImpossible);
      return;
    }
    CodeWord() |= BitOperand(reg, bit);
    return;
  }
  source::LinePos = start;
  // A register that fails does not stop the form: the bit number is still
  // read, and the last message stands.
  reg = expr::EvalInt('\0');
  if (source::PeekChar() != ',') {
    if (!Failed()) SetError(msg::BitSyntax);
    return;
  }
  source::SkipPast(',');
  bit = expr::EvalInt('\0');
  if (Failed()) return;
  if (!RegisterBitValid(reg, bit)) {
    SetError(msg::BitImpossible);
    return;
  }
  CodeWord() |= BitOperand(reg, bit);
}

void SkipForm() {
  StartInstruction();
  if (Failed()) return;
  int start = source::LinePos;
  source::ReadToken();
  std::string word = source::Token;
  source::UpperCaseStr(word);
  for (const TCondition& c : kConditions) {
    if (word == c.Name) {
      SetSkipSense(c.SkipOnSet);
      CodeWord() |= BitOperand(StatusRegister(), c.Bit);
      return;
    }
  }
  // The word shows the sense from here on, also on a line that fails.
  SetSkipSense(true);
  if (word == "NOT") {
    SetSkipSense(false);
    start = source::LinePos;
  } else {
    source::LinePos = start;
  }
  std::int32_t reg = 0, bit = 0;
  if (ReadBitName(reg, bit)) {
    if (reg < 0 || reg > LargestRegister()) {
      SetError(msg::BitImpossible);
      return;
    }
    CodeWord() |= BitOperand(reg, bit);
    return;
  }
  source::LinePos = start;
  // An operand that names a failed definition stays an unreported failure.
  reg = expr::EvalInt('\0');
  if (state::FollowOnError) return;
  if (Failed() || source::PeekChar() != ',') {
    SetError(msg::BitUnknown);
    return;
  }
  source::SkipPast(',');
  bit = expr::EvalInt('\0');
  if (state::FollowOnError) return;
  if (Failed()) {
    SetError(msg::BitUnknown);
    return;
  }
  if (!RegisterBitValid(reg, bit)) {
    SetError(msg::BitImpossible);
    return;
  }
  CodeWord() |= BitOperand(reg, bit);
}

// BRA under CORE14ENH (9-bit offset); under CORE16 BRA and RCALL (11 bits)
// and the conditional branches (8 bits). The offset counts words from the
// next instruction.
void RelativeBranch() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t target = CoreKind == Core14 ? expr::EvalInt('\0') : ReadTarget();
  if (Failed()) return;
  if (CoreKind == Core14) {
    SetError(msg::BraNotHere);
    return;
  }
  int bits = CoreKind == Core14Enh ? 9 : (CodeWord() & 0xF000) == 0xD000 ? 11 : 8;
  std::int64_t reach = std::int64_t{1} << (bits - 1);
  std::int64_t offset = static_cast<std::int64_t>(target) - state::CodeCounter - 1;
  if (offset < -reach || offset >= reach) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  CodeWord() |= static_cast<std::uint16_t>(static_cast<std::uint64_t>(offset) & ((1u << bits) - 1));
}

void CallForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t target = expr::EvalInt('\0');
  if (Failed()) return;
  switch (CoreKind) {
    case Core12:
      // The 12-bit CALL reaches only the first half of a 512-word page.
      if (target < 0 || target > 0x7FF || (target & 0x100) != 0) {
        SetError(msg::ValueOutOfRange);
        return;
      }
      CodeWord() |= static_cast<std::uint16_t>(target & 0xFF);
      return;
    case Core16: {
      if (!EncodeLongTarget(target) || source::PeekChar() != ',') return;
      source::SkipPast(',');
      source::ReadToken();
      std::string word = source::Token;
      source::UpperCaseStr(word);
      if (word == "S")
        CodeWord() |= 0x100;
      else
        SetError(msg::AccessSyntax);
      return;
    }
    default:
      if (target < 0 || target > 0x7FF) {
        SetError(msg::ValueOutOfRange);
        return;
      }
      CodeWord() |= static_cast<std::uint16_t>(target);
      return;
  }
}

void GotoForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t target = ReadTarget();
  if (Failed()) return;
  switch (CoreKind) {
    case Core12:
      if (target < 0 || target > 0x7FF) {
        SetError(msg::ValueOutOfRange);
        return;
      }
      CodeWord() |= static_cast<std::uint16_t>(target & 0x1FF);
      return;
    case Core16: EncodeLongTarget(target); return;
    default:
      if (target < 0 || target > 0x1FFF) {
        SetError(msg::ValueOutOfRange);
        return;
      }
      CodeWord() |= static_cast<std::uint16_t>(target & 0x7FF);
      return;
  }
}

void ReturnForm() {
  StartInstruction();
  if (Failed()) return;
  if (IsCore16()) {
    if (source::PeekChar() != ',') return;
    source::SkipPast(',');
    char c = source::PeekChar();
    if (c == 'S' || c == 's')
      CodeWord() |= 1;
    else
      SetError(msg::OperandExpected);
    return;
  }
  source::ReadToken();
  if (!source::Token.empty() && source::Token != ";") SetError(msg::OperandNotExpected);
}

std::vector<std::string_view> SkipConditionWords() {
  std::vector<std::string_view> words;
  for (const TCondition& c : kConditions) words.push_back(c.Name);
  words.push_back("NOT");
  return words;
}

}  // namespace veltas::isa
