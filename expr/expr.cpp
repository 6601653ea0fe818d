#include "expr/expr.h"

#include <vector>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "source/lines.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::expr {

using state::Failed;
using state::SetError;
using source::Token;

namespace {

// Open "(" of groups and function arguments in the current expression. The
// bound keeps hostile input from exhausting the stack.
int Nesting = 0;

enum class TOp { None, Plus, Minus, Times, Slash, Div, Mod, Shr, Shl, And, Or, Xor };

// Integer arithmetic wraps modulo 2^32; it is done on unsigned values so
// that overflow is defined.
std::int32_t Wrap(std::uint32_t v) { return static_cast<std::int32_t>(v); }
std::uint32_t U(std::int32_t v) { return static_cast<std::uint32_t>(v); }

// Arithmetic without a result reports only when no earlier error stands;
// after one, the combination quietly yields 0 and the first message stays.
void ReportIfFirst(std::string_view message) {
  if (!Failed()) SetError(message);
}

std::int32_t IntDivide(std::int32_t l, std::int32_t r, bool remainder) {
  if (r == 0) {
    ReportIfFirst(msg::DivisionByZero);
    return 0;
  }
  if (l == std::numeric_limits<std::int32_t>::min() && r == -1) {
    ReportIfFirst(msg::NumberOverflow);
    return 0;
  }
  return remainder ? l % r : l / r;
}

double FloatDivide(double l, double r) {
  if (r == 0.0) {
    ReportIfFirst(msg::DivisionByZero);
    return 0.0;
  }
  return l / r;
}

double AsDouble(const TValue& v) { return v.IsFloat() ? v.Real : static_cast<double>(v.Int); }
std::int32_t AsRounded(const TValue& v) { return v.IsFloat() ? Round(v.Real) : v.Int; }

TValue Combine(TOp op, const TValue& l, const TValue& r) {
  switch (op) {
    case TOp::Plus:
      if (l.IsFloat()) return TValue::OfFloat(l.Real + AsDouble(r));
      return TValue::OfInt(Wrap(U(l.Int) + U(AsRounded(r))));
    case TOp::Minus:
      if (l.IsFloat()) return TValue::OfFloat(l.Real - AsDouble(r));
      return TValue::OfInt(Wrap(U(l.Int) - U(AsRounded(r))));
    case TOp::Times:
      if (l.IsFloat() || r.IsFloat()) return TValue::OfFloat(AsDouble(l) * AsDouble(r));
      return TValue::OfInt(Wrap(U(l.Int) * U(r.Int)));
    case TOp::Slash:
      if (l.IsFloat() || r.IsFloat()) return TValue::OfFloat(FloatDivide(AsDouble(l), AsDouble(r)));
      return TValue::OfInt(IntDivide(l.Int, r.Int, false));
    case TOp::Div:  // a floating left value was rounded before the right one was read
      return TValue::OfInt(IntDivide(l.Int, AsRounded(r), false));
    case TOp::Mod:
      return TValue::OfInt(IntDivide(l.Int, AsRounded(r), true));
    case TOp::Shr:
      return TValue::OfInt(Wrap(U(l.Int) >> (U(AsRounded(r)) & 31u)));
    case TOp::Shl:
      return TValue::OfInt(Wrap(U(l.Int) << (U(AsRounded(r)) & 31u)));
    case TOp::And:
      return TValue::OfInt(Wrap(U(l.Int) & U(AsRounded(r))));
    case TOp::Or:
      return TValue::OfInt(Wrap(U(l.Int) | U(AsRounded(r))));
    case TOp::Xor:
      return TValue::OfInt(Wrap(U(l.Int) ^ U(AsRounded(r))));
    case TOp::None:
      break;
  }
  return l;
}

// The operator words, of the term level (with * and /) and of the simple
// level (with + and -).
struct TOperatorWord {
  std::string_view Word;
  TOp Op;
  bool Term;
};
constexpr TOperatorWord kOperatorWords[] = {
    {"DIV", TOp::Div, true}, {"MOD", TOp::Mod, true}, {"SHR", TOp::Shr, true}, {"SHL", TOp::Shl, true},
    {"AND", TOp::And, true}, {"OR", TOp::Or, false},  {"XOR", TOp::Xor, false},
};

TOp WordOperator(bool term) {
  for (const TOperatorWord& w : kOperatorWords)
    if (w.Term == term && source::TokenIs(w.Word)) return w.Op;
  return TOp::None;
}

TOp TermOperator() {
  if (Token == "*") return TOp::Times;
  if (Token == "/") return TOp::Slash;
  return WordOperator(true);
}

TOp SimpleOperator() {
  if (Token == "+") return TOp::Plus;
  if (Token == "-") return TOp::Minus;
  return WordOperator(false);
}

enum TFunc { Hi, HiWord, Near, Lo, LoWord, RoundFn, NoFunc };
struct TFunctionWord {
  std::string_view Word;
  TFunc Func;
};
constexpr TFunctionWord kFunctionWords[] = {
    {"HI", Hi},   {"HIGH", Hi}, {"HIWORD", HiWord}, {"NEAR", Near},
    {"LO", Lo},   {"LOW", Lo},  {"LOWORD", LoWord}, {"ROUND", RoundFn},
};

// The inside of "( ... )" for a group or a function argument; Token holds "(".
TValue Parenthesised() {
  if (Nesting >= MaxNesting) {
    SetError(msg::NestedTooDeep);
    return TValue{};
  }
  Token.clear();
  ++Nesting;
  TValue result = SimpleExpression();
  --Nesting;
  if (Failed()) return result;
  if (Token == ")")
    source::ReadToken();
  else
    SetError(msg::RightParenExpected);
  return result;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ParseDecimal(const std::string& text, std::int32_t& out) {
  if (text.empty()) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
    if (v > 2147483647u) return false;
  }
  out = static_cast<std::int32_t>(v);
  return true;
}

// digits "." digits [ ("E"|"e") digits ], at least one digit beside the point.
bool ParseFloat(const std::string& text, double& out) {
  std::size_t i = 0, n = text.size();
  std::string intPart, fracPart, expPart;
  while (i < n && IsDigit(text[i])) intPart += text[i++];
  if (i >= n || text[i] != '.') return false;
  ++i;
  while (i < n && IsDigit(text[i])) fracPart += text[i++];
  if (intPart.empty() && fracPart.empty()) return false;
  if (i < n) {
    if (text[i] != 'E' && text[i] != 'e') return false;
    ++i;
    while (i < n && IsDigit(text[i])) expPart += text[i++];
    if (expPart.empty() || i != n) return false;
  }
  std::string normal = (intPart.empty() ? "0" : intPart) + "." + (fracPart.empty() ? "0" : fracPart);
  if (!expPart.empty()) normal += "e" + expPart;
  double value = 0.0;
  auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (ec != std::errc() || end != normal.data() + normal.size() || !std::isfinite(value)) return false;
  out = value;
  return true;
}

}  // namespace

std::int32_t Round(double value) {
  double cut = std::trunc(value > 0 ? value + 0.5 : value - 0.5);
  if (!(cut >= -2147483648.0 && cut <= 2147483647.0)) {
    ReportIfFirst(msg::NumberOverflow);
    return 0;
  }
  return static_cast<std::int32_t>(cut);
}

TValue ReadNumber() {
  TValue result;
  // A literal that the scanner had to cut, or whose rewritten form would not
  // fit a token, would be read as another number.
  bool tooLong = source::TokenCut;
  if (Token.size() == 1 && (Token[0] == 'B' || Token[0] == 'b') && source::PeekChar() == '\'') {
    source::SkipPast('\'');
    source::ReadToken();
    if (source::PeekChar() != '\'') {
      SetError(msg::BinaryNumberSyntax);
      return result;
    }
    source::SkipPast('\'');
    tooLong = source::TokenCut || Token.size() >= source::MaxTokenLength;
    Token += 'B';
  }
  std::string text = Token;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'X' || text[1] == 'x')) {
    tooLong = tooLong || text.size() >= source::MaxTokenLength;
    text[1] = '0';
    text += 'H';
  }
  if (tooLong) {
    SetError(msg::ExpressionError);
    return result;
  }
  char last = text.empty() ? '\0' : text.back();
  if (last >= 'a' && last <= 'z') last = static_cast<char>(last - 'a' + 'A');
  std::string_view digits(text.data(), text.empty() ? 0 : text.size() - 1);
  if (last == 'B') {
    std::uint32_t v = 0;
    for (char c : digits) {
      if (c != '0' && c != '1') {
        SetError(msg::BinaryNumberSyntax);
        return result;
      }
      v = (v << 1) | static_cast<std::uint32_t>(c - '0');
    }
    result = TValue::OfInt(Wrap(v));
  } else if (last == 'H') {
    std::uint32_t v = 0;
    for (char c : digits) {
      int d = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) - 48;
      if (d > 9) d -= 7;
      if (d < 0 || d > 15) {
        SetError(msg::ExpressionError);
        return result;
      }
      v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    result = TValue::OfInt(Wrap(v));
  } else if (text.find('.') != std::string::npos) {
    double v = 0.0;
    if (!ParseFloat(text, v)) {
      SetError(msg::ExpressionError);
      return result;
    }
    result = TValue::OfFloat(v);
  } else {
    std::int32_t v = 0;
    if (!ParseDecimal(text, v)) {
      SetError(msg::ExpressionError);
      return result;
    }
    result = TValue::OfInt(v);
  }
  source::ReadToken();
  return result;
}

TValue ParenArgument() {
  if (Token.empty()) source::ReadToken();
  if (Token != "(") {
    SetError(msg::LeftParenExpected);
    return TValue{};
  }
  return Parenthesised();
}

TValue Factor() {
  TValue result;
  if (Token.empty()) source::ReadToken();
  if (Token.empty()) {
    SetError(msg::IdentifierExpected);
    return result;
  }
  if (Token == "'") {
    char c = source::NextChar();
    if (source::NextChar() != '\'') {
      SetError(msg::StringTooLong);
      return result;
    }
    result = TValue::OfInt(static_cast<unsigned char>(c));
    source::ReadToken();
    return result;
  }
  if (Token == "(") return Parenthesised();
  if (Token == "+") {
    source::ReadToken();
    return ReadNumber();
  }
  if (Token == "-") {
    source::ReadToken();
    result = ReadNumber();
    if (result.IsFloat())
      result.Real = -result.Real;
    else
      result.Int = Wrap(0u - U(result.Int));
    return result;
  }
  if (IsDigit(Token[0]) || ((Token[0] == 'B' || Token[0] == 'b') && source::PeekChar() == '\''))
    return ReadNumber();

  TFunc fn = NoFunc;
  for (const TFunctionWord& w : kFunctionWords)
    if (fn == NoFunc && source::TokenIs(w.Word)) fn = w.Func;
  if (fn != NoFunc) {
    Token.clear();
    TValue arg = ParenArgument();
    if (Failed()) return arg;
    if (fn == RoundFn) return arg.IsFloat() ? TValue::OfInt(Round(arg.Real)) : arg;
    if (arg.IsFloat()) {
      SetError(msg::FloatNotAllowed);
      return result;
    }
    std::uint32_t v = U(arg.Int);
    switch (fn) {
      case Hi: v = (v >> 8) & 0xFFu; break;
      case HiWord: v = (v >> 16) & 0xFFFFu; break;
      case Near: v &= 0x7FFu; break;
      case Lo: v &= 0xFFu; break;
      case LoWord: v &= 0xFFFFu; break;
      default: break;
    }
    return TValue::OfInt(Wrap(v));
  }

  bool known = symbols::FindSymbol(Token);
  if (!known || symbols::FoundSymbol->Failed) {
    std::string text(msg::UnknownNamePrefix.view());
    text += Token;
    text += msg::UnknownNameSuffix.view();
    if (known)
      state::SetFollowOnError(text);  // its definition was reported already
    else
      SetError(text);
    return result;  // Token stays: the caller's loops see no operator
  }
  const symbols::TSymbol& s = *symbols::FoundSymbol;
  if (s.ValueType == symbols::TypeInteger)
    result = TValue::OfInt(s.Value);
  else if (s.ValueType == symbols::TypeFloat)
    result = TValue::OfFloat(s.FloatValue);
  else
    SetError(msg::NotIntOrFloat);
  source::ReadToken();
  return result;
}

TValue Term() {
  TValue left = Factor();
  for (TOp op = TermOperator(); op != TOp::None; op = TermOperator()) {
    if (left.IsFloat()) {
      if (op == TOp::Mod || op == TOp::Shr || op == TOp::Shl || op == TOp::And) {
        SetError(msg::FloatNotAllowed);
        return left;
      }
      if (op == TOp::Div) left = TValue::OfInt(Round(left.Real));
    }
    Token.clear();
    TValue right = Factor();
    left = Combine(op, left, right);
  }
  return left;
}

namespace {

// The "+" "-" OR XOR chain of a simple expression after its left value.
TValue SimpleChain(TValue left) {
  for (TOp op = SimpleOperator(); op != TOp::None; op = SimpleOperator()) {
    if (left.IsFloat() && (op == TOp::Or || op == TOp::Xor)) {
      SetError(msg::FloatNotAllowed);
      return left;
    }
    Token.clear();
    TValue right = Term();
    left = Combine(op, left, right);
  }
  return left;
}

// The end of an operand: the lookahead is unread, and only ",", ";", the
// line's end or the terminator may follow.
TValue EndOfOperand(TValue result, char terminator) {
  if (Failed()) return result;
  source::LinePos = source::TokenStart;
  char next = source::PeekChar();
  if (next != ';' && next != ',' && next != '\0' && next != terminator) SetError(msg::EndOfExpressionExpected);
  return result;
}

std::int32_t Rounded(const TValue& v) {
  if (Failed()) return 0;
  return v.IsFloat() ? Round(v.Real) : v.Int;
}

}  // namespace

TValue SimpleExpression() {
  TValue left = Term();
  if (Failed()) return TValue{};
  return SimpleChain(left);
}

TValue Expression(char terminator) {
  Nesting = 0;
  source::ReadToken();
  if (Token.empty()) {
    SetError(msg::OperandExpected);
    return TValue::OfInt(-1);
  }
  return EndOfOperand(SimpleExpression(), terminator);
}

std::int32_t EvalIntAfter(std::int32_t left, char terminator) {
  Nesting = 0;
  source::ReadToken();
  return Rounded(EndOfOperand(SimpleChain(TValue::OfInt(left)), terminator));
}

std::int32_t EvalInt(char terminator) { return Rounded(Expression(terminator)); }

std::vector<std::string_view> FunctionWords() {
  std::vector<std::string_view> words;
  for (const TFunctionWord& w : kFunctionWords) words.push_back(w.Word);
  return words;
}

std::vector<std::string_view> OperatorWords() {
  std::vector<std::string_view> words;
  for (const TOperatorWord& w : kOperatorWords) words.push_back(w.Word);
  return words;
}

}  // namespace veltas::expr
