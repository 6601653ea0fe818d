// The expression evaluator: a recursive-descent parser over the scanner's
// shared position with two binary precedence levels, 32-bit integers that
// wrap and doubles. Errors go to ErrorText; the returned value is then
// meaningless.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace veltas::expr {

struct TValue {
  enum TKind : std::uint8_t { Integer = 0, Float = 1 };
  TKind Kind = Integer;
  std::int32_t Int = 0;
  double Real = 0.0;

  static TValue OfInt(std::int32_t v) { return {Integer, v, 0.0}; }
  static TValue OfFloat(double v) { return {Float, 0, v}; }
  bool IsFloat() const { return Kind == Float; }
};

// Parenthesised groups and function arguments may nest this deep.
inline constexpr int MaxNesting = 64;

// Rounds half away from zero to a signed 32-bit integer. A value whose
// result does not fit fails with "Zahlenüberlauf" (only while no earlier
// error stands) and yields 0.
std::int32_t Round(double value);

// One complete operand, which must be followed by ",", ";", the line's end
// or the terminator.
TValue Expression(char terminator);
// Expression, with a floating result rounded.
std::int32_t EvalInt(char terminator);
// EvalInt of an operand whose left value stands in front of the scan
// position (the "$" of "GOTO $+1"), which must be at a "+" "-" OR XOR chain.
std::int32_t EvalIntAfter(std::int32_t left, char terminator);

TValue SimpleExpression();
TValue Term();
TValue Factor();
TValue ParenArgument();
TValue ReadNumber();

// The words the evaluator reads as functions (HIGH, LOW ...) and as
// operators (AND, SHL ...), in upper case, for tools that describe the
// language.
std::vector<std::string_view> FunctionWords();
std::vector<std::string_view> OperatorWords();

}  // namespace veltas::expr
