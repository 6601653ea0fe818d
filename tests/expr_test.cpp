// The expression evaluator, seen through EQU (which keeps a value as it is,
// integer or floating) and through the literal operand (which rounds).
//
// Every row is one expression on the line "R: EQU <expression>". Error rows
// give the message and the column of the report's LinePos counted from the
// expression's first character (column 1 is its first character; a column
// one past the expression's length means "behind the line").
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "symbols/symbols.h"
#include "tests/encoders_cases.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

constexpr int kPrefix = 7;  // "R: EQU " stands before the expression

struct TEval {
  std::string Error;
  int Column = 0;
  bool Float = false;
  std::int32_t Int = 0;
  double Real = 0.0;
};

TEval EvalEqu(const std::string& expression, const std::string& definitions) {
  TRun run = RunProgram({{"main.pic", definitions + "\nR: EQU " + expression + "\n"}});
  TEval e;
  if (run.Result.Outcome != driver::TRunOutcome::Success) {
    e.Error = run.Result.ErrorMessage;
    e.Column = run.Result.ErrorColumn - kPrefix;
    return e;
  }
  for (std::size_t i = 0; i < symbols::SymbolCount(); ++i) {
    const symbols::TSymbol& s = symbols::SymbolNewestFirst(i);
    if (s.Name != "R") continue;
    e.Float = s.ValueType == symbols::TypeFloat;
    e.Int = s.Value;
    e.Real = s.FloatValue;
  }
  return e;
}

struct TIntCase {
  std::string Expression;
  std::int32_t Value;
  const char* Definitions = "";
};

struct TFloatCase {
  std::string Expression;
  double Value;
  const char* Definitions = "";
};

struct TErrorCase {
  std::string Expression;
  std::string Error;  // UTF-8
  int Column;
  const char* Definitions = "";
};

void ExpectInts(const std::vector<TIntCase>& cases) {
  for (const TIntCase& c : cases) {
    SCOPED_TRACE(c.Expression);
    TEval e = EvalEqu(c.Expression, c.Definitions);
    EXPECT_EQ(e.Error, "") << "column " << e.Column;
    EXPECT_FALSE(e.Float) << "an integer result was expected";
    EXPECT_EQ(e.Int, c.Value);
  }
}

void ExpectFloats(const std::vector<TFloatCase>& cases) {
  for (const TFloatCase& c : cases) {
    SCOPED_TRACE(c.Expression);
    TEval e = EvalEqu(c.Expression, c.Definitions);
    EXPECT_EQ(e.Error, "") << "column " << e.Column;
    EXPECT_TRUE(e.Float) << "a floating result was expected";
    EXPECT_DOUBLE_EQ(e.Real, c.Value);
  }
}

void ExpectErrors(const std::vector<TErrorCase>& cases) {
  for (const TErrorCase& c : cases) {
    SCOPED_TRACE(c.Expression);
    TEval e = EvalEqu(c.Expression, c.Definitions);
    EXPECT_EQ(e.Error, Cp1252(c.Error));
    EXPECT_EQ(e.Column, c.Column);
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Unknown(const std::string& name) { return "Bezeichner \"" + name + "\" ist nicht bekannt"; }

const char* kDivisionByZero = "Division durch Null";
const char* kOverflow = "Zahlenüberlauf";
const char* kNestedTooDeep = "Ausdruck ist zu tief verschachtelt";
const char* kLeftParen = "\"(\" erwartet";
const char* kRightParen = "\")\" erwartet";
const char* kBinary = "Binärzahlen schreibt man 010101B oder B'0101' ";
const char* kStringTooLong = "Zeichenkette ist zu lang";

TEST(Expression, ArithmeticAndPrecedence) {
  ExpectInts({
      {"2+3*4", 14},
      {"20-5-3", 12},  // left to right
      {"7/2", 3},
      {"7 DIV 2.6", 2},  // 7 divided by Round(2.6) = 3
      {"1+2.6", 4},      // an integer left value keeps the sum an integer
      {"-7/2", -3},
      {"-7 MOD 2", -1},  // truncating division: the remainder has the sign of l
      {"7 MOD -2", 1},
      {"-7 DIV 2", -3},
      {"2*3+4*5", 26},
      {"10-2*3", 4},
      {"(2+3)*4", 20},
      {"100/10/5", 2},
      {"1 OR 2 AND 0", 1},  // AND binds like "*", OR like "+"
      {"6 AND 3 OR 8", 10},
      {"5 XOR 1+1", 5},  // XOR and "+" share a level: (5 XOR 1) + 1
      {"2+6 XOR 1", 9},
      {"2 SHL 3*2", 32},  // SHL and "*" share a level: (2 SHL 3) * 2
      {"7 div 2", 3},     // operator words in any case
      {"1 shl 4", 16},
      {"3 And 5", 1},
      {"12 Or 3", 15},
      {"12 xOr 10", 6},
      {"- 5", -5},  // blanks between sign and number
      {"-5", -5},
      {"+5", 5},
      {"0-X", -3, "X: EQU 3"},
      {"5 ; comment", 5},
      {"1,2", 1},  // a comma ends the operand
  });
}

TEST(Expression, IntegerArithmeticWrapsModulo2To32) {
  ExpectInts({
      {"7FFFFFFFH+1", INT32_MIN},
      {"0-2147483647-2", INT32_MAX},
      {"10000H*10000H", 0},
      {"65536*65537", 65536},
      {"2147483647*2", -2},
      {"0FFFFFFFFH*0FFFFFFFFH", 1},
      {"-80000000H", INT32_MIN},  // negating the smallest value wraps to itself
      {"80000000H/1", INT32_MIN},
      {"80000000H/-2", 0x40000000},
      {"80000000H MOD 2", 0},
  });
}

TEST(Expression, ShiftsUseTheLowFiveBitsOfTheCount) {
  ExpectInts({
      {"1 SHL 33", 2},
      {"0x80000000 SHR 31", 1},
      {"0x80000000 SHR -1", 1},  // -1 counts as 31
      {"1 SHL -1", INT32_MIN},
      {"1 SHL 31", INT32_MIN},
      {"1 SHL 32", 1},
      {"-1 SHR 28", 15},  // zeros enter at the top
      {"1 SHL 2.6", 8},   // count Round(2.6) = 3
      {"16 SHR 1.5", 4},  // count Round(1.5) = 2
  });
}

TEST(Expression, MixingIntegerAndFloatingValues) {
  ExpectFloats({
      {"7.0/2", 3.5},
      {"2.6+1", 3.6},  // a floating left value keeps the sum floating
      {"2.6-1", 1.6},
      {"2.5*2", 5.0},
      {"3*2.5", 7.5},  // "*" turns floating as soon as one side is
      {"7/2.0", 3.5},
      {"2.5/2", 1.25},
      {"PI*2", 7.0, "PI: EQU 3.5"},
      {"PI+1", 4.5, "PI: EQU 3.5"},
  });
  ExpectInts({
      {"1-2.6", -2},      // 1 - Round(2.6)
      {"7 AND 2.6", 3},   // 7 and Round(2.6) = 3
      {"6 OR 1.4", 7},    // 6 or 1
      {"5 XOR 1.5", 7},   // 5 xor 2
      {"7 MOD 2.6", 1},   // 7 mod 3
      {"7.4 DIV 2", 3},   // Round(7.4) = 7, then 7 div 2
      {"7.5 DIV 2", 4},   // Round(7.5) = 8
      {"7.5 DIV 2.5", 2}, // 8 div 3
      {"-2.5 DIV 1", -3},
      {"1+PI", 5, "PI: EQU 3.5"},  // 1 + Round(3.5)
  });
}

TEST(Expression, FloatingLeftOperandOfBitwiseOperatorsFails) {
  // The message is stored before the right operand is read.
  ExpectErrors({
      {"2.5 MOD 2", kFloatNotAllowed, 8},
      {"2.5 SHR 1", kFloatNotAllowed, 8},
      {"2.5 SHL 1", kFloatNotAllowed, 8},
      {"2.5 AND 1", kFloatNotAllowed, 8},
      {"2.5 OR 1", kFloatNotAllowed, 7},
      {"2.5 XOR 1", kFloatNotAllowed, 8},
      {"2.5 OR X", kFloatNotAllowed, 7},  // X is never read
  });
}

TEST(Expression, Functions) {
  ExpectInts({
      {"HIGH(1234H)", 0x12},
      {"LOW(1234H)", 0x34},
      {"HIWORD(12345678H)", 0x1234},
      {"LOWORD(12345678H)", 0x5678},
      {"NEAR(0FFFH)", 0x7FF},
      {"HIGH(-1)", 0xFF},
      {"HIWORD(-1)", 0xFFFF},
      {"high(1234H)", 0x12},
      {"Hi(1234H)", 0x12},
      {"lo(1234H)", 0x34},
      {"HIGH (1234H)", 0x12},
      {"HIGH(1234H)+1", 0x13},
      {"ROUND(2.5)", 3},
      {"ROUND(-2.5)", -3},
      {"ROUND(2.4)", 2},
      {"ROUND(-2.4)", -2},
      {"ROUND(0.5)", 1},
      {"ROUND(-0.5)", -1},
      {"ROUND(7)", 7},
      {"ROUND(2147483646.5)", INT32_MAX},
      {"ROUND(-2147483648.4)", INT32_MIN},
  });
  ExpectErrors({
      {"HIGH 12", kLeftParen, 8},
      {"Low", kLeftParen, 4, "Low: EQU 5"},  // function words hide symbols of that name
      {"LOW(2.5)", kFloatNotAllowed, 9},
      {"HIGH(2.5)", kFloatNotAllowed, 10},
      {"HI(1.5)", kFloatNotAllowed, 8},
      {"HIWORD(1.5)", kFloatNotAllowed, 12},
      {"NEAR(1.5)", kFloatNotAllowed, 10},
      {"LO(1.5)", kFloatNotAllowed, 8},
      {"LOWORD(1.5)", kFloatNotAllowed, 12},
      {"HIGH(1", kRightParen, 7},
  });
}

TEST(Expression, NumberNotations) {
  ExpectInts({
      {"0101B", 5},
      {"B'0101'", 5},
      {"b'0101'", 5},
      {"B '0101'", 5},
      {"B' 0101 '", 5},
      {"11111111111111111111111111111111B", -1},
      {"100000000000000000000000000000000B", 0},  // the 33rd digit pushes the first one out
      {"0x1f", 31},
      {"0x1B", 27},  // the prefix comes first: no binary suffix
      {"0x1b", 27},
      {"0X1F", 31},
      {"1FH", 31},
      {"01fh", 31},
      {"0FFH", 255},
      {"0FFFFFFFFH", -1},
      {"123456789H", 0x23456789},
      {"2147483647", INT32_MAX},
      {"007", 7},
      {"'A'", 65},
      {"' '", 32},
      {"'''", 39},
      {"';'", 59},
      {"'A'+1", 66},
      {"'\xE4'", 228},  // the source's single-byte code
  });
  ExpectFloats({
      {"1.5E3", 1500.0},
      {"1.5e3", 1500.0},
      {"1.", 1.0},
      {"0.25", 0.25},
      {"-1.5", -1.5},
      {"+1.5", 1.5},
  });
  ExpectErrors({
      {"0102B", kBinary, 6},
      {"12AB", kBinary, 5},
      {"B'0102'", kBinary, 8},
      {"B'0101", kBinary, 7},
      {"B'", kBinary, 3},
      {"0x", kExpressionError, 3},
      {"0xG1", kExpressionError, 5},
      {"2147483648", kExpressionError, 11},
      {"1E3", kExpressionError, 4},
      {"1.5E-3", kExpressionError, 5},  // the token 1.5E fails; the minus is never read
      {"12A", kExpressionError, 4},
      {"1.2.3", kExpressionError, 6},
      {"1.0E400", kExpressionError, 8},
      {"-X", kExpressionError, 3, "X: EQU 3"},  // a sign applies to a number only
      {"--5", kExpressionError, 3},
      {"FFH", Unknown("FFH"), 4},  // a hexadecimal number must begin with a digit
      {".5", Unknown("."), 2},
      {"'AB'", kStringTooLong, 4},
      {"'A", kStringTooLong, 3},
      {"'", kStringTooLong, 2},
  });
}

TEST(Expression, SymbolsAndNameLength) {
  std::string a64(64, 'a');
  ExpectInts({
      {"CNT+LBL", 0x21, "SEG RAM\nORG 0x20\nCNT: DS 1\nSEG CODE\nNOP\nLBL: NOP"},
      {"X", 3, "X: EQU 3"},
      // Two names that differ only after the 64th character are one symbol.
      {a64 + "Y", 7, (a64 + "X: EQU 7").c_str()},
  });
  ExpectFloats({{"PI", 3.5, "PI: EQU 3.5"}});
  ExpectErrors({
      {"X", Unknown("X"), 2},
      {"x", Unknown("x"), 2, "X: EQU 3"},  // names are case-sensitive
      {"X+1", Unknown("X"), 2},
      {"1+X+2", Unknown("X"), 4},
      {"FLAG", "der Bezeichner ist weder INT noch FLOAT!", 5, "FLAG: BIT 5,1"},
      // The message is cut at 80 characters.
      {std::string(64, 'A'), "Bezeichner \"" + std::string(64, 'A') + "\" is", 65},
  });
}

TEST(Expression, HowOperandsEnd) {
  ExpectErrors({
      {"5 X", kEndExpected, 3},  // LinePos goes back to the start of the lookahead
      {"5)", kEndExpected, 2},
      {"2 3", kEndExpected, 3},
      {"", kOperandExpected, 1},
      {"1+", kIdentifierExpected, 3},
      {"1*", kIdentifierExpected, 3},
      {"(1+2", kRightParen, 5},
      {"(1 2)", kRightParen, 5},
  });
}

TEST(Expression, ArithmeticWithoutResult) {
  ExpectErrors({
      {"1/0", kDivisionByZero, 4},
      {"1 DIV 0", kDivisionByZero, 8},
      {"1 MOD 0", kDivisionByZero, 8},
      {"7 MOD 0.4", kDivisionByZero, 10},  // Round(0.4) = 0
      {"1.0/0", kDivisionByZero, 6},
      {"1/0.0", kDivisionByZero, 6},
      {"1.5 DIV 0", kDivisionByZero, 10},
      {"80000000H/-1", kOverflow, 13},
      {"80000000H DIV -1", kOverflow, 17},
      {"80000000H MOD -1", kOverflow, 17},
      {"ROUND(2147483647.5)", kOverflow, 20},
      {"ROUND(-2147483648.5)", kOverflow, 21},
      {"ROUND(1.0E308*10)", kOverflow, 18},                       // infinity
      {"ROUND(1.0E308*10-1.0E308*10)", kOverflow, 29},            // NaN
      {"1+1.0E10", kOverflow, 9},                                 // Round of the right value
      {"1.0E10 DIV 2", kOverflow, 13},                            // Round of the left value
      {"1.0E10", kOverflow, 7},                                   // EQU rounds its Value
  });
}

TEST(Expression, AnEarlierErrorStands) {
  ExpectErrors({
      // The unknown name, not a division by zero.
      {"1/X", Unknown("X"), 4},
      {"1 MOD X", Unknown("X"), 8},
      {"1.5/X", Unknown("X"), 6},
      // A later failing factor replaces the message; arithmetic checks don't.
      {"80000000H/-1/X", Unknown("X"), 15},
      {"LOW(2.5)/0", kFloatNotAllowed, 11},
      // A function is not applied after its argument failed.
      {"LOW(2.5+X)", Unknown("X"), 10},
      // The term loop goes on after a failing factor; the later message wins.
      {"LOW(2.5)*Y", Unknown("Y"), 11},
      {"1+LOW(2.5)+Y", Unknown("Y"), 13},
      // The simple-expression level stops when its first term failed.
      {"LOW(2.5)+Y", kFloatNotAllowed, 10},
  });
}

TEST(Expression, NestingIsBounded) {
  std::string open64 = Repeat("(", 64), close64 = Repeat(")", 64);
  ExpectInts({
      {open64 + "1" + close64, 1},
      {Repeat("(", 32) + Repeat("LOW(", 32) + "1" + close64, 1},
      {"LOW(" + Repeat("(", 63) + "1" + close64, 1},
      // Depth counts, not the number of groups.
      {open64 + "1" + close64 + "+" + open64 + "1" + close64, 2},
  });
  ExpectErrors({
      // The 65th "(" fails; LinePos stands just behind it.
      {Repeat("(", 65) + "1" + Repeat(")", 65), kNestedTooDeep, 66},
      {Repeat("(", 32) + Repeat("LOW(", 33) + "1" + Repeat(")", 65), kNestedTooDeep, 32 + 33 * 4 + 1},
      {"HIGH" + Repeat("(", 65) + "1", kNestedTooDeep, 4 + 65 + 1},
      // Hostile input must not exhaust the stack.
      {Repeat("(", 100000), kNestedTooDeep, 66},
      {Repeat("LOW(", 100000), kNestedTooDeep, 65 * 4 + 1},
  });
}

// EvalInt rounds a floating result; the literal operand shows it.
TEST(Expression, OperandsRoundFloatingResults) {
  ExpectLines({
      {.Line = "MOVLW 2.5", .Words = {0x3003}},
      {.Line = "MOVLW -2.5", .Words = {0x30FD}},  // -3
      {.Line = "MOVLW 2.4", .Words = {0x3002}},
      {.Line = "MOVLW 255.4", .Words = {0x30FF}},
      {.Line = "MOVLW 255.5", .Error = "Wert außerhalb des zulässigen Bereiches", .Position = 12},
      {.Line = "MOVLW -128.5", .Error = "Wert außerhalb des zulässigen Bereiches", .Position = 13},
      {.Line = "MOVLW 7.0/2", .Words = {0x3004}},  // 3.5 rounds to 4
      {.Line = "MOVLW 2147483647.5", .Error = "Zahlenüberlauf", .Position = 19},
      // A character constant takes the character after its character with
      // NextChar, whether or not it is the closing quote.
      {.Line = "MOVLW 'AB'", .Error = "Zeichenkette ist zu lang", .Position = 10},
      {.Line = "  MOVLW 'AB'", .Error = "Zeichenkette ist zu lang", .Position = 12},
  });
}

}  // namespace
}  // namespace veltas::testing
