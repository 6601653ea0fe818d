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

enum class TDestination { Default, ToW, ToF };

// Under CORE16 the first comma after the register introduces the access
// flag; a wrong word is reported, but the statement carries on. Where the
// form has a destination, a W or F word there is the destination, with the
// access bank (a = 0), and nothing but a comment may follow it: the order
// "x,F,BANKED" of other assemblers must not pass with a = 0 unnoticed.
TDestination AccessFlag(bool withDestination) {
  if (source::PeekChar() != ',') return TDestination::Default;
  source::SkipPast(',');
  source::ReadToken();
  std::string word = source::Token;
  source::UpperCaseStr(word);
  char first = word.empty() ? '\0' : word[0];
  if (word == "A") {
    CodeWord() |= 0x100;
  } else if (withDestination && (first == 'W' || first == 'F')) {
    char next = source::PeekChar();
    if (next != '\0' && next != ';') SetError(msg::AccessSyntax);
    return first == 'W' ? TDestination::ToW : TDestination::ToF;
  } else {
    SetError(msg::AccessSyntax);
  }
  return TDestination::Default;
}

}  // namespace

void RegisterDestinationForm() {
  StartInstruction();
  if (Failed()) return;
  std::int32_t reg = expr::EvalInt('\0');
  if (Failed()) return;
  TDestination given = IsCore16() ? AccessFlag(true) : TDestination::Default;
  if (reg < 0 || reg > LargestRegister()) {
    SetError(msg::ValueOutOfRange);
    return;
  }
  CodeWord() |= static_cast<std::uint16_t>(reg) | DestinationBit();
  if (given == TDestination::ToW) CodeWord() &= static_cast<std::uint16_t>(~DestinationBit());
  if (given != TDestination::Default || source::PeekChar() != ',') return;
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
    AccessFlag(false);
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
