// The symbol table and the way the passes define and use names.
#include <gtest/gtest.h>

#include "state/state.h"
#include "symbols/symbols.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

using driver::TRunOutcome;

void Add(const std::string& name, std::int32_t value) {
  symbols::PendingSymbol = symbols::TSymbol{};
  symbols::PendingSymbol.Name = name;
  symbols::PendingSymbol.ValueType = symbols::TypeInteger;
  symbols::PendingSymbol.Value = value;
  ASSERT_TRUE(symbols::AddSymbol());
}

TEST(SymbolTable, EmptyTableFindsNothing) {
  symbols::ClearSymbols();
  state::ClearError();
  EXPECT_FALSE(symbols::FindSymbol("X"));
  EXPECT_EQ(state::ErrorText, "Marke nicht gefunden");
  EXPECT_EQ(symbols::FoundSymbol, nullptr);
  EXPECT_EQ(symbols::MaxNameLength, 0u);
}

TEST(SymbolTable, NamesAreExactAndWalkedNewestFirst) {
  symbols::ClearSymbols();
  Add("Loop", 1);
  Add("LOOP", 2);
  Add("x", 3);
  ASSERT_TRUE(symbols::FindSymbol("LOOP"));
  EXPECT_EQ(symbols::FoundSymbol->Value, 2);
  EXPECT_FALSE(symbols::FindSymbol("loop"));
  ASSERT_EQ(symbols::SymbolCount(), 3u);
  EXPECT_EQ(symbols::SymbolNewestFirst(0).Name, "x");
  EXPECT_EQ(symbols::SymbolNewestFirst(2).Name, "Loop");
  EXPECT_EQ(symbols::MaxNameLength, 4u);
  symbols::ClearSymbols();
  EXPECT_EQ(symbols::SymbolCount(), 0u);
  EXPECT_EQ(symbols::MaxNameLength, 0u);
}

TEST(SymbolTable, ManySymbolsStayFindable) {
  symbols::ClearSymbols();
  for (int i = 0; i < 50000; ++i) Add("S" + std::to_string(i), i);
  for (int i = 0; i < 50000; i += 997) {
    ASSERT_TRUE(symbols::FindSymbol("S" + std::to_string(i)));
    EXPECT_EQ(symbols::FoundSymbol->Value, i);
  }
  EXPECT_EQ(symbols::SymbolNewestFirst(0).Name, "S49999");
}

std::int32_t ValueAfterRun(const std::string& source, const std::string& name) {
  TRun run = RunProgram({{"main.pic", source}});
  EXPECT_EQ(run.Result.Outcome, TRunOutcome::Success) << Cp1252(run.Result.ErrorMessage);
  EXPECT_TRUE(symbols::FindSymbol(name)) << name;
  return symbols::FoundSymbol ? symbols::FoundSymbol->Value : -1;
}

TEST(SymbolDefinition, LabelsTakeTheCounterOfTheirSegment) {
  EXPECT_EQ(ValueAfterRun("  NOP\n  NOP\nHERE:\n", "HERE"), 2) << "a label alone";
  EXPECT_EQ(ValueAfterRun("  NOP\nHERE: ; comment\n", "HERE"), 1) << "a label with a comment";
  EXPECT_EQ(ValueAfterRun("  NOP\nLOOP : NOP\n", "LOOP"), 1) << "blanks before the colon";
  EXPECT_EQ(ValueAfterRun("  SEG RAM\n  ORG 0x20\nX: DS 2\nY: DS 1\n  SEG CODE\nC: NOP\n", "Y"), 0x22);
  EXPECT_EQ(symbols::FoundSymbol->Segment, symbols::SymRam);
  ASSERT_TRUE(symbols::FindSymbol("C"));
  EXPECT_EQ(symbols::FoundSymbol->Value, 0) << "the CODE counter went on where it was";
  EXPECT_EQ(ValueAfterRun("  NOP\nO: ORG 0x100\n", "O"), 1) << "a label before ORG keeps the old address";
  EXPECT_EQ(ValueAfterRun("  ORG 0xFFFF\n  NOP\nW: NOP\n", "W"), 0) << "the counter wraps";
  EXPECT_EQ(ValueAfterRun("  CORE16\n  CALL 0\n  GOTO 0\nA: NOP\n", "A"), 4) << "CALL and GOTO take two words";
}

TEST(SymbolDefinition, FloatingConstantIsRoundedForItsIntegerValue) {
  EXPECT_EQ(ValueAfterRun("PI: EQU 3.5\n", "PI"), 4);
  EXPECT_EQ(symbols::FoundSymbol->ValueType, symbols::TypeFloat);
  EXPECT_DOUBLE_EQ(symbols::FoundSymbol->FloatValue, 3.5);
  EXPECT_EQ(ValueAfterRun("N: EQU 10\n", "N"), 10);
  EXPECT_EQ(symbols::FoundSymbol->ValueType, symbols::TypeInteger);
  EXPECT_EQ(symbols::FoundSymbol->Segment, symbols::SymConstant);
}

struct TErrorCase {
  std::string Source;
  int Line;
  int Pos;
  std::string Message;  // UTF-8
};

class StatementErrors : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(StatementErrors, StopThePassWithTheirMessage) {
  const TErrorCase& c = GetParam();
  TRun run = RunProgram({{"main.pic", c.Source}});
  ASSERT_EQ(run.Result.Outcome, TRunOutcome::AssemblyError);
  EXPECT_EQ(run.Result.ErrorMessage, Cp1252(c.Message));
  EXPECT_EQ(run.Result.ErrorLine, c.Line);
  EXPECT_EQ(run.Result.ErrorColumn, c.Pos);
}

const std::string kLong64 = std::string(64, 'L');

INSTANTIATE_TEST_SUITE_P(
    Symbols, StatementErrors,
    ::testing::Values(
        TErrorCase{"X:\n  NOP\nX:\n", 3, 3, "deklariere Marken nicht zweimal!"},
        TErrorCase{"Loop: NOP\nLOOP: NOP\nLoop: NOP\n", 3, 6, "deklariere Marken nicht zweimal!"},
        TErrorCase{"X: EQU 5\nX:\n", 2, 3, "deklariere Marken nicht zweimal!"},
        TErrorCase{kLong64 + "a:\n" + kLong64 + "b:\n", 2, 67, "deklariere Marken nicht zweimal!"},
        TErrorCase{"X: EQU X+1\n", 1, 9, "Bezeichner \"X\" ist nicht bekannt"},
        TErrorCase{"X: EQU Y\nY: EQU 1\n", 1, 9, "Bezeichner \"Y\" ist nicht bekannt"},
        TErrorCase{"B: BIT 3,5\n  MOVLW B\n", 2, 10, "der Bezeichner ist weder INT noch FLOAT!"},
        TErrorCase{"LOOP NOP\n", 1, 5, "illegale Operation"},
        TErrorCase{"  CORE12\n  RETURN\n", 2, 9, "diesen Befehl kennt der gewählte PIC nicht"},
        TErrorCase{"  CORE16\n  CLRW\n", 2, 7, "diesen Befehl kennt der gewählte PIC nicht"},
        TErrorCase{"  CORE16\n  TBLRD *\n", 2, 8, "illegale Operation"}));

TEST(Statements, TablePointerMnemonicsAreFound) {
  EXPECT_EQ(AssembleLine("  CORE16", "  TBLRD*+").Words, std::vector<std::uint16_t>{0x0009});
  EXPECT_EQ(AssembleLine("  CORE16", "  tblwt+*").Words, std::vector<std::uint16_t>{0x000F});
  EXPECT_EQ(AssembleLine("  CORE16", "  TBLRD*").Words, std::vector<std::uint16_t>{0x0008});
  EXPECT_EQ(AssembleLine("  CORE16", "  TBLWT*-").Words, std::vector<std::uint16_t>{0x000E});
}

TEST(Statements, NothingAfterEndIsRead) {
  TRun run = RunProgram({{"main.pic", "  NOP\n  END\n  BAD\n"}});
  EXPECT_EQ(run.Result.Outcome, TRunOutcome::Success);
  EXPECT_EQ(run.Prn.find("BAD"), std::string::npos);
}

}  // namespace
}  // namespace veltas::testing
