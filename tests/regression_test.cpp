// Inputs from fuzzing and from probing with hostile sources: each once could,
// or easily could, crash the program, exhaust its stack, overflow a buffer or
// make the two passes disagree. Each must end with its exact message, or
// succeed with the words worked out by hand below. New fuzz findings go here
// (and their raw input into fuzz/regressions/).
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

struct TCase {
  const char* What;
  std::string Source;
  // Expected on failure: the message (UTF-8) and the line it is reported on.
  std::string Message;
  int Line = 0;
  // Expected on success: program words by word address.
  std::map<std::uint32_t, std::uint16_t> Words;
};

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

void Check(const TCase& c) {
  SCOPED_TRACE(c.What);
  TRun run = RunProgram({{"main.pic", c.Source}});
  if (c.Message.empty()) {
    ASSERT_EQ(run.Result.Outcome, driver::TRunOutcome::Success) << run.Result.ErrorMessage;
    EXPECT_EQ(HexWords(run.Hex), c.Words);
  } else {
    ASSERT_EQ(run.Result.Outcome, driver::TRunOutcome::AssemblyError);
    EXPECT_EQ(run.Result.ErrorMessage, Cp1252(c.Message));
    EXPECT_EQ(run.Result.ErrorLine, c.Line);
  }
}

// Pass 1 counts DATA words without evaluating them; the label behind the
// DATA line proves that it counted exactly what pass 2 stored, also where a
// character constant holds the "," or ";" that otherwise ends an item.
TEST(Regression, DataItemsCountTheSameInBothPasses) {
  const TCase cases[] = {
      {"comma in a character constant inside a value",
       "  DATA 1+',', 2, 'x'\nL: GOTO L\n",
       "",
       0,
       // 1 + 44 = 2Dh; 2; the string x; GOTO 3 = 2803h
       {{0, 0x002D}, {1, 0x0002}, {2, 0x0078}, {3, 0x2803}}},
      {"semicolon in a character constant inside a value",
       "  DATA LOW(';'), 'A'+1\nL: GOTO L\n",
       "",
       0,
       // LOW(59) = 3Bh; an item that starts with a quote is a string: A,
       // and what follows its closing quote ends the list
       {{0, 0x003B}, {1, 0x0041}, {2, 0x2802}}},
      {"quoted binary numbers, with a blank before the quote",
       "  DATA B'0101', b '1', B'11'+1\nL: GOTO L\n",
       "",
       0,
       {{0, 0x0005}, {1, 0x0001}, {2, 0x0004}, {3, 0x2803}}},
      {"a doubled quote is an empty string that ends the list",
       "  DATA '''', 7\nL: GOTO L\n",
       "",
       0,
       {{0, 0x2800}}},
      {"a string that holds separators",
       "  DATA \"a;b,c\", 1\nL: GOTO L\n",
       "",
       0,
       {{0, 0x0061}, {1, 0x003B}, {2, 0x0062}, {3, 0x002C}, {4, 0x0063}, {5, 0x0001}, {6, 0x2806}}},
  };
  for (const TCase& c : cases) Check(c);
}

// CodeWords holds 128 words: DATA may fill it, never overrun it.
TEST(Regression, DataNeverOverrunsTheCodeWords) {
  std::map<std::uint32_t, std::uint16_t> full;
  for (std::uint32_t i = 0; i < 128; ++i) full[i] = 1;
  const TCase cases[] = {
      {"128 values fit", "  DATA " + Repeat("1,", 127) + "1\n", "", 0, full},
      {"129 values", "  DATA " + Repeat("1,", 128) + "1\n", "zu viele Datenworte (max. 128)", 1, {}},
      {"a string of 129 characters", "  DATA \"" + std::string(129, 'x') + "\"\n", "zu viele Datenworte (max. 128)", 1,
       {}},
      {"128 words, then one more value", "  DATA \"" + std::string(128, 'x') + "\", 1\n",
       "zu viele Datenworte (max. 128)", 1, {}},
  };
  for (const TCase& c : cases) Check(c);
}

// Deeply nested and very long expressions end with a message, not with an
// exhausted stack.
TEST(Regression, HugeExpressionsEndWithAMessage) {
  const TCase cases[] = {
      {"100000 parentheses", "  MOVLW " + Repeat("(", 100000) + "1" + Repeat(")", 100000) + "\n",
       "Ausdruck ist zu tief verschachtelt", 1, {}},
      {"100000 nested functions", "  MOVLW " + Repeat("HIGH(", 100000) + "1" + Repeat(")", 100000) + "\n",
       "Ausdruck ist zu tief verschachtelt", 1, {}},
      {"parentheses in pass 1", "X: EQU " + Repeat("(", 100000) + "\n", "Ausdruck ist zu tief verschachtelt", 1, {}},
      // 200001 does not fit the 8-bit literal.
      {"200000 additions", "  MOVLW " + Repeat("1+", 200000) + "1\n", "Wert außerhalb des zulässigen Bereiches", 1,
       {}},
      {"200000 additions that fit", "  MOVLW " + Repeat("0+", 200000) + "1\n", "", 0, {{0, 0x3001}}},
  };
  for (const TCase& c : cases) Check(c);
}

// Arithmetic with no defined result must stop the statement with a message
// instead of reaching undefined behaviour (division traps, float-to-integer
// conversion out of range).
TEST(Regression, UndefinedArithmeticEndsTheStatement) {
  const TCase cases[] = {
      {"integer division by zero", "X: EQU 5/0\n", "Division durch Null", 1, {}},
      {"DIV by zero", "X: EQU 5 DIV 0\n", "Division durch Null", 1, {}},
      {"MOD by zero", "X: EQU 5 MOD 0\n", "Division durch Null", 1, {}},
      {"DIV by a float that rounds to zero", "X: EQU 5 DIV 0.4\n", "Division durch Null", 1, {}},
      {"float division by zero", "X: EQU 1.0/0\n", "Division durch Null", 1, {}},
      {"smallest integer divided by -1", "M: EQU 0-2147483647-1\nX: EQU M/-1\n", "Zahlenüberlauf", 2, {}},
      {"smallest integer DIV -1", "M: EQU 0-2147483647-1\nX: EQU M DIV -1\n", "Zahlenüberlauf", 2, {}},
      {"float too large to round", "X: EQU 1.0E308*10.0\n", "Zahlenüberlauf", 1, {}},
      {"rounding beyond 32 bits", "X: EQU ROUND(3000000000.0)\n", "Zahlenüberlauf", 1, {}},
      {"float shift count too large", "X: EQU 1 SHL 1.0E20\n", "Zahlenüberlauf", 1, {}},
      {"float DIV operand too large", "X: EQU 1.0E20 DIV 7\n", "Zahlenüberlauf", 1, {}},
      // Wrapping integer arithmetic is defined: these succeed.
      {"integer overflow wraps", "X: EQU 2147483647+1\nY: EQU 2147483647*2\nZ: EQU 0-2147483647-2\n  NOP\n", "", 0,
       {{0, 0x0000}}},
  };
  for (const TCase& c : cases) Check(c);
}

// The location counters wrap at 65536 in both passes alike.
TEST(Regression, CountersWrapAlikeInBothPasses) {
  const TCase cases[] = {
      {"code counter wraps over reserved words",
       "  DS 65535\n  DS 5\nY: NOP\n  MOVLW Y\n",
       "",
       0,
       // 65535 + 5 = 4 after the wrap
       {{4, 0x0000}, {5, 0x3004}}},
      {"RAM counter wraps",
       "  SEG RAM\n  DS 65535\n  DS 2\nX: DS 1\n  SEG CODE\n  MOVLW X\n",
       "",
       0,
       {{0, 0x3001}}},
  };
  for (const TCase& c : cases) Check(c);
}

}  // namespace
}  // namespace veltas::testing
