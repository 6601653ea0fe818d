// File-register and literal operands: the register-destination, register and
// literal forms of all four cores.
#include "expr/expr.h"
#include "isa/handlers.h"
#include "isa/table.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"

namespace veltas::isa {

using state::CodeWord;
using state::Failed;
using state::SetError;

namespace {

std::uint16_t DestinationBit() {
  switch (CoreKind) {
    case Core12: return 0x020;
    case Core16: return 0x200;
    default: return 0x080;
  }
}

// Under CORE16 the first comma after the register introduces the access
// flag; a wrong word is reported, but the statement carries on.
void AccessFlag() {
  if (source::PeekChar() != ',') return;
  source::SkipPast(',');
  source::ReadToken();
  std::string word = source::Token;
  source::UpperCaseStr(word);
  if (word == "A")
    CodeWord() |= 0x100;
  else
    SetError(msg::AccessSyntax);
}

}  // namespace

void RegisterDestinationForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t reg = expr::EvalInt('\0');
  if (Failed()) return;
  if (IsCore16()) AccessFlag();
  if (reg < 0 || reg > LargestRegister()) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  CodeWord() |= static_cast<std::uint16_t>(reg) | DestinationBit();
  if (source::PeekChar() != ',') return;
  source::SkipPast(',');
  source::ReadToken();
  std::string word = source::Token;
  source::UpperCaseStr(word);
  char first = word.empty() ? '\0' : word[0];
  if (first == 'W')
    CodeWord() &= static_cast<std::uint16_t>(~DestinationBit());
  else if (first != 'F')
    SetError(msg::DestinationSyntax);
}

void RegisterForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t reg = expr::EvalInt('\0');
  if (Failed()) return;
  if (IsCore16()) {
    AccessFlag();
    if (Failed()) return;
  }
  if (reg < 0 || reg > LargestRegister()) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  CodeWord() |= static_cast<std::uint16_t>(reg);
}

void LiteralForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t value = expr::EvalInt('\0');
  if (Failed()) return;
  if (value < -128 || value > 255) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  CodeWord() |= static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

}  // namespace veltas::isa
