// The scanner primitives over CurrentLine.
#include <gtest/gtest.h>

#include "source/lines.h"
#include "source/scanner.h"
#include "state/state.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

using source::LinePos;
using source::Token;

void SetLine(const std::string& line, int pos = 1) {
  source::CurrentLine = line;
  LinePos = pos;
  Token.clear();
  state::ClearError();
}

std::vector<std::string> Tokens(const std::string& line) {
  SetLine(line);
  std::vector<std::string> tokens;
  for (source::ReadToken(); !Token.empty(); source::ReadToken()) tokens.push_back(Token);
  return tokens;
}

TEST(Scanner, BlankLineHasNoToken) {
  SetLine(" \t \x01 ");
  EXPECT_EQ(source::PeekChar(), '\0');
  source::ReadToken();
  EXPECT_EQ(Token, "");
}

TEST(Scanner, WordsMayStartWithDigitsAndHoldPoints) {
  EXPECT_EQ(Tokens("1.5 0FFH x.y"), (std::vector<std::string>{"1.5", "0FFH", "x.y"}));
  EXPECT_EQ(Tokens(".5"), (std::vector<std::string>{".", "5"}));
  EXPECT_EQ(Tokens("TBLRD*+"), (std::vector<std::string>{"TBLRD", "*", "+"}));
  EXPECT_EQ(Tokens("a,b;c:'(\")"), (std::vector<std::string>{"a", ",", "b", ";", "c", ":", "'", "(", "\"", ")"}));
}

TEST(Scanner, GermanLettersBelongToWordsButSharpSCannotStartOne) {
  EXPECT_EQ(Tokens(Cp1252("Zähler Maß ÄÖÜäöü")), (std::vector<std::string>{Cp1252("Zähler"), Cp1252("Maß"), Cp1252("ÄÖÜäöü")}));
  EXPECT_EQ(Tokens(Cp1252("ßeta")), (std::vector<std::string>{Cp1252("ß"), "eta"}));
}

TEST(Scanner, LongWordsAreCutAt64ButConsumedWhole) {
  SetLine(std::string(70, 'w') + " x");
  source::ReadToken();
  EXPECT_EQ(Token, std::string(64, 'w'));
  EXPECT_EQ(LinePos, 71);
  EXPECT_EQ(source::TokenStart, 1);
}

TEST(Scanner, TokenIsFoldsOnlyTheToken) {
  for (const char* word : {"high", "High", "HIGH"}) {
    Token = word;
    EXPECT_TRUE(source::TokenIs("HIGH")) << word;
  }
  for (const char* word : {"HIGH2", "HIG", ""}) {
    Token = word;
    EXPECT_FALSE(source::TokenIs("HIGH")) << word;
  }
}

TEST(Scanner, SkipPastMissingCharacterUsesTheLineUp) {
  SetLine("abc");
  source::SkipPast(',');
  EXPECT_EQ(LinePos, 5);
  EXPECT_EQ(source::NextChar(), '\0');
  SetLine("a,b");
  source::SkipPast(',');
  EXPECT_EQ(LinePos, 3);
}

TEST(Scanner, UpperCaseFoldsOnlyAsciiLetters) {
  std::string text = Cp1252("abzäß_1");
  source::UpperCaseStr(text);
  EXPECT_EQ(text, Cp1252("ABZäß_1"));
}

struct TOperandCase {
  std::string Line;
  std::string Text;
  std::string Error;  // UTF-8
  int EndPos;
};

class OperandText : public ::testing::TestWithParam<TOperandCase> {};

TEST_P(OperandText, CopiesUpToCommaOrSemicolon) {
  const TOperandCase& c = GetParam();
  SetLine(c.Line);
  std::string text;
  source::ReadOperandText(text);
  EXPECT_EQ(state::ErrorText, Cp1252(c.Error));
  if (c.Error.empty()) {
    EXPECT_EQ(text, c.Text);
  }
  EXPECT_EQ(LinePos, c.EndPos);
}

INSTANTIATE_TEST_SUITE_P(
    Scanner, OperandText,
    ::testing::Values(TOperandCase{"x.inc   ; c", "x.inc   ", "", 9}, TOperandCase{"a,b", "a", "", 2},
                      TOperandCase{"'a,;b' x", "'a,;b' x", "", 9}, TOperandCase{"\"q\"", "\"q\"", "", 4},
                      TOperandCase{"'abc", "", "Zeichenkette hat kein Ende", 5},
                      TOperandCase{"x'", "", "Zeichenkette hat kein Ende", 4},
                      TOperandCase{std::string(253, 'n'), std::string(253, 'n'), "", 254},
                      TOperandCase{std::string(254, 'n'), "", "Ausdruck ist zu lang", 255},
                      TOperandCase{"'" + std::string(260, 'q') + "'", "", "Zeichenkette ist zu lang", 255}));

}  // namespace
}  // namespace veltas::testing
