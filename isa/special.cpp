// Enhanced-core and 16-bit-core special operands: indirect moves, FSR
// offsets, bank and page selection, LFSR and MOVFF.
#include <string>

#include "expr/expr.h"
#include "isa/handlers.h"
#include "isa/table.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"

namespace veltas::isa {

using state::CodeWord;
using state::Failed;
using state::SetError;

namespace {

// Position in this table is ORed into the word: bit 2 selects FSR1.
constexpr std::string_view kIndirectNotations[] = {
    "++FSR0", "--FSR0", "FSR0++", "FSR0--", "++FSR1", "--FSR1", "FSR1++", "FSR1--",
};

// After a complete operand only a comment may follow.
void ExpectNothingMore() {
  source::ReadToken();
  if (!source::Token.empty() && source::Token != ";") SetError(msg::OperandNotExpected);
}

// Evaluates a value and checks it against [low, high]; false on any error.
bool EvalInRange(std::int32_t low, std::int32_t high, std::string_view message, std::int32_t& value) {
  value = expr::EvalInt('\0');
  if (Failed()) return false;
  if (value < low || value > high) {
    SetError(message);
    return false;
  }
  return true;
}

std::uint16_t SixBits(std::int32_t k) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(k) & 0x3Fu); }

}  // namespace

void IndirectMove() {
  StartInstruction();
  if (Failed()) return;
  source::SkipBlanks();
  int remaining = static_cast<int>(source::CurrentLine.size()) - source::LinePos + 1;
  if (remaining < 6) {
    SetError(msg::IdentifierExpected);
    return;
  }
  std::string notation = source::CurrentLine.substr(static_cast<std::size_t>(source::LinePos - 1), 6);
  source::UpperCaseStr(notation);
  for (std::size_t i = 0; i < std::size(kIndirectNotations); ++i) {
    if (notation == kIndirectNotations[i]) {
      CodeWord() |= static_cast<std::uint16_t>(i);
      source::LinePos += 6;
      ExpectNothingMore();
      return;
    }
  }
  // k[FSRn]: 0x0010 becomes 0x3F00 (MOVIW), 0x0018 becomes 0x3F80 (MOVWI).
  CodeWord() = static_cast<std::uint16_t>((CodeWord() << 4) | 0x3F00);
  std::int32_t k = expr::EvalInt('[');
  if (Failed()) return;
  if (k < -32 || k > 31) {
    SetError(msg::OffsetRange);
    return;
  }
  CodeWord() |= SixBits(k);
  if (source::Token != "[") {
    SetError(msg::FsrSyntax);
    return;
  }
  source::SkipPast('[');
  source::ReadToken();
  std::string reg = source::Token;
  source::UpperCaseStr(reg);
  if (reg == "FSR1") {
    CodeWord() |= 0x40;
  } else if (reg != "FSR0") {
    SetError(msg::FsrSyntax);
    return;
  }
  if (source::PeekChar() != ']') SetError(msg::FsrSyntax);  // reported, but the line goes on
  source::SkipPast(']');
  ExpectNothingMore();
}

void FsrOffset() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t k;
  if (EvalInRange(-32, 31, msg::OffsetRange, k)) CodeWord() |= SixBits(k);
}

void BankSelect() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t k;
  // The enhanced mid-range core has 32 banks; the others have 16.
  std::int32_t banks = CoreKind == Core14Enh ? 32 : 16;
  if (EvalInRange(0, banks - 1, msg::ValueOutOfRange, k)) CodeWord() |= static_cast<std::uint16_t>(k);
}

void PageSelect() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t k;
  if (EvalInRange(0, 127, msg::ValueOutOfRange, k)) CodeWord() |= static_cast<std::uint16_t>(k);
}

// LFSR f,k loads FSR f (0..2) with a 12-bit address. The words are written
// only after every check passed.
void LfsrForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t f, k;
  if (!EvalInRange(0, 2, msg::ValueOutOfRange, f)) return;
  if (source::PeekChar() != ',') {
    SetError(msg::LfsrSyntax);
    return;
  }
  source::SkipPast(',');
  if (!EvalInRange(0, 0xFFF, msg::ValueOutOfRange, k)) return;
  state::CodeLength = 2;
  CodeWord() = static_cast<std::uint16_t>(0xEE00 | (f << 4) | (k >> 8));
  state::CodeWords[1] = static_cast<std::uint16_t>(0xF000 | (k & 0xFF));
}

void MovffForm() {
  StartInstruction();
  if (!Failed()) SetError(msg::UnderConstruction);
}

}  // namespace veltas::isa
