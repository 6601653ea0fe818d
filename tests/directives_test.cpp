// The directives: core selection, SEG, ORG, DS, DATA, EQU, BIT, END and
// TITLE, in both passes. Whole sources go through the program in memory;
// the tests look at the symbol table pass 1 left, the HEX words and, where a
// directive decides the layout, the listing line.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "symbols/symbols.h"
#include "tests/encoders_cases.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

using TWords = std::map<std::uint32_t, std::uint16_t>;

std::optional<symbols::TSymbol> Symbol(const std::string& name) {
  for (std::size_t i = 0; i < symbols::SymbolCount(); ++i)
    if (symbols::SymbolNewestFirst(i).Name == name) return symbols::SymbolNewestFirst(i);
  return std::nullopt;
}

// Value and segment of a symbol, or -1 when it is missing.
std::int32_t ValueOf(const std::string& name) {
  auto s = Symbol(name);
  return s ? s->Value : -1;
}
int SegmentOf(const std::string& name) {
  auto s = Symbol(name);
  return s ? s->Segment : -1;
}

TRun Assemble(const std::string& source, const std::string& include = "") {
  std::map<std::string, std::string> files{{"main.pic", source}};
  if (!include.empty()) files["inc.pic"] = include;
  return RunProgram(files);
}

void ExpectSuccess(const TRun& run) {
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::Success)
      << run.Result.ErrorMessage << " in line " << run.Result.ErrorLine << " at " << run.Result.ErrorColumn;
}

struct TFailure {
  std::string Source;
  const char* Error;
  int Line;
  int Position;
  bool InPass2 = false;
};

void ExpectFailures(const std::vector<TFailure>& cases) {
  for (const TFailure& c : cases) {
    SCOPED_TRACE(c.Source);
    TRun run = Assemble(c.Source);
    EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::AssemblyError);
    EXPECT_EQ(run.Result.ErrorMessage, Cp1252(c.Error));
    EXPECT_EQ(run.Result.ErrorLine, c.Line);
    EXPECT_EQ(run.Result.ErrorColumn, c.Position);
    EXPECT_EQ(run.Result.FailedInPass2, c.InPass2);
  }
}

// A listing line: a 31-character prefix, the line number in 7 places, two
// blanks, the source text, CR LF.
std::string ListingLine(const std::string& prefix, int number, const std::string& text) {
  std::string line = prefix;
  line.resize(31, ' ');
  std::string digits = std::to_string(number);
  line += std::string(7 - digits.size(), ' ') + digits + "  " + text + "\r\n";
  return line;
}

TEST(Directives, CoreDirectivesSwitchFromTheNextStatement) {
  TRun run = Assemble(
      "MOVLW 1\nCORE16\nMOVLW 1\nCORE12 anything after it\nMOVLW 1\nCORE14ENH\nMOVLW 1\nCORE14\nMOVLW 1\n");
  ExpectSuccess(run);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0x3001}, {1, 0x0E01}, {2, 0x0C01}, {3, 0x3001}, {4, 0x3001}}));
}

// Directive rows pass the core test under every core; DATA, DS and ORG
// carry the mask 0x0B, the others 0x10.
TEST(Directives, EveryDirectiveUnderEveryCore) {
  for (const char* core : {"CORE12", "CORE14", "CORE14ENH", "CORE16"}) {
    SCOPED_TRACE(core);
    TRun run = Assemble(std::string(core) +
                            "\nB: BIT 1,1\nE: EQU 1\nDATA 7\nDS 1\nORG 0x10\nSEG CODE\nTITLE t\nINCLUDE inc.pic\n"
                            "DATA 8\nCORE12\nCORE14ENH\nCORE14\nCORE16\nEND\n",
                        "DATA 9\n");
    ExpectSuccess(run);
    EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 7}, {0x10, 9}, {0x11, 8}}));
  }
}

TEST(Directives, Seg) {
  TRun run = Assemble("NOP\nNOP\nSEG RAM\nORG 0x20\nX: DS 2\nY: DS 1\nSEG code\nL: NOP\nseg Ram\nZ: DS 1\n");
  ExpectSuccess(run);
  EXPECT_EQ(ValueOf("X"), 0x20);
  EXPECT_EQ(SegmentOf("X"), symbols::SymRam);
  EXPECT_EQ(ValueOf("Y"), 0x22);
  EXPECT_EQ(SegmentOf("Y"), symbols::SymRam);
  // SEG CODE continues where the CODE counter was.
  EXPECT_EQ(ValueOf("L"), 2);
  EXPECT_EQ(SegmentOf("L"), symbols::SymCode);
  EXPECT_EQ(ValueOf("Z"), 0x23);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0}, {1, 0}, {2, 0}}));
  ExpectFailures({
      {"SEG DATA\n", "falsches Argument: nur CODE oder RAM erlaubt", 1, 9},
      {"SEG\n", "falsches Argument: nur CODE oder RAM erlaubt", 1, 4},
      {"SEG ;RAM\n", "falsches Argument: nur CODE oder RAM erlaubt", 1, 6},
  });
}

TEST(Directives, Org) {
  TRun run = Assemble(
      "NOP\nL: ORG 0x10\nM: NOP\nSEG RAM\nORG 0x30\nR1: DS 1\nSEG CODE\nN: NOP\nORG 0xFFFF\nTOP: NOP\n");
  ExpectSuccess(run);
  EXPECT_EQ(ValueOf("L"), 1);  // the counter from before the ORG
  EXPECT_EQ(ValueOf("M"), 0x10);
  EXPECT_EQ(ValueOf("R1"), 0x30);
  EXPECT_EQ(ValueOf("N"), 0x11);  // ORG in the RAM segment left the CODE counter alone
  EXPECT_EQ(ValueOf("TOP"), 0xFFFF);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0}, {0x10, 0}, {0x11, 0}, {0xFFFF, 0}}));
  ExpectFailures({
      {"ORG 0x10000\n", kRange, 1, 12},
      {"ORG -1\n", kRange, 1, 7},
      {"ORG X\nX: NOP\n", "Bezeichner \"X\" ist nicht bekannt", 1, 6},  // pass 1 knows earlier symbols only
      {"ORG\n", kOperandExpected, 1, 4},
  });
}

// DS in the CODE segment reserves a gap: no HEX bytes, the counter advances
// by the count in both passes, the listing shows the address layout.
TEST(Directives, DsInTheCodeSegmentIsAGap) {
  TRun run = Assemble("NOP\nDS 3\nL: NOP\n");
  ExpectSuccess(run);
  EXPECT_EQ(ValueOf("L"), 4);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0}, {4, 0}}));
  EXPECT_NE(run.Prn.find(ListingLine("CODE 0001", 2, "DS 3")), std::string::npos) << run.Prn;
  EXPECT_EQ(run.Prn.find("CODE 0002"), std::string::npos) << run.Prn;
  EXPECT_EQ(run.Prn.find("CODE 0003"), std::string::npos) << run.Prn;
}

TEST(Directives, DsInTheRamSegment) {
  TRun run = Assemble(
      "SEG RAM\nBUF: DS 4\nNEXT: DS 0x10005\nAFTER: DS 1\nORG 2\nDS -1\nWRAP: DS 1\n"
      "SEG CODE\nN: EQU 3\nSEG RAM\nORG 0\nDS N\nLAST: DS 1\n");
  ExpectSuccess(run);
  EXPECT_EQ(ValueOf("BUF"), 0);  // a label before DS names the first reserved cell
  EXPECT_EQ(ValueOf("NEXT"), 4);
  EXPECT_EQ(ValueOf("AFTER"), 9);  // only the low 16 bits of the count
  EXPECT_EQ(ValueOf("WRAP"), 1);   // 2 + 0xFFFF wraps
  EXPECT_EQ(ValueOf("LAST"), 3);
  EXPECT_EQ(run.Hex, ":00000001FF\r\n");
  EXPECT_NE(run.Prn.find(ListingLine("RAM  0000", 12, "DS N")), std::string::npos) << run.Prn;
  ExpectFailures({
      {"DS N\nN: EQU 1\n", "Bezeichner \"N\" ist nicht bekannt", 1, 5},
      {"DS\n", kOperandExpected, 1, 3},
  });
}

TEST(Directives, DataStoresWords) {
  struct TCase {
    std::string Items;
    std::vector<std::uint16_t> Words;
  };
  const TCase cases[] = {
      {"\"AB\",1,-1", {0x0041, 0x0042, 0x0001, 0xFFFF}},
      {"'it''s'", {0x0069, 0x0074}},  // no escape; no comma after the closing quote ends the list
      {"\"\"", {}},
      {"''", {}},
      {"\"a,b\"", {0x0061, 0x002C, 0x0062}},
      {"'A',\"B\"", {0x0041, 0x0042}},
      {"'A'+1", {0x0041}},  // a string item, and the list ends at "+"
      {"1 , 2", {0x0001, 0x0002}},
      {"\"\xE4\xDF\"", {0x00E4, 0x00DF}},  // the source's single-byte codes
      {"65535", {0xFFFF}},
      {"-2147483647", {0x0001}},
      {"1 ; a,b", {0x0001}},  // pass 1 counts what pass 2 stores
      {"1+''',2", {0x0028, 0x0002}},
      {"B'0101',2", {0x0005, 0x0002}},
      {"b '01',3", {0x0001, 0x0003}},
      {"1+';',2", {0x003C, 0x0002}},
      {"1+',',2", {0x002D, 0x0002}},
      {"0101B,2", {0x0005, 0x0002}},
      {"HIGH(1234H),LOW(1234H)", {0x0012, 0x0034}},
      {"2.5", {0x0003}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("DATA " + c.Items);
    // The label behind the line proves that pass 1 counted what pass 2 stored.
    TRun run = Assemble("NOP\nDATA " + c.Items + "\nAFTER: NOP\n");
    ExpectSuccess(run);
    EXPECT_EQ(ValueOf("AFTER"), 1 + static_cast<int>(c.Words.size()));
    TWords expected{{0, 0}};
    for (std::size_t i = 0; i < c.Words.size(); ++i) expected[1 + static_cast<std::uint32_t>(i)] = c.Words[i];
    expected[1 + static_cast<std::uint32_t>(c.Words.size())] = 0;
    EXPECT_EQ(HexWords(run.Hex), expected);
  }
}

TEST(Directives, DataValuesMayUseLaterLabels) {
  TRun run = Assemble("DATA 1,X\nX: NOP\n");
  ExpectSuccess(run);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 1}, {1, 2}, {2, 0}}));
}

TEST(Directives, DataFailures) {
  ExpectFailures({
      {"DATA\n", kOperandExpected, 1, 5},
      {"DATA ,1\n", kOperandExpected, 1, 6},
      {"DATA ;x\n", kOperandExpected, 1, 6},
      {"DATA \"AB\n", "Zeichenkette hat kein Ende", 1, 9},
      {"DATA 1,'AB\n", "Zeichenkette hat kein Ende", 1, 11},
      {"SEG RAM\nDATA 1\n", "Diese Operation ist nur im CODE-Segment möglich", 2, 6},
      {"DATA 65536\n", kRange, 1, 11, true},
      {"DATA 80000000H\n", kRange, 1, 15, true},
      {"DATA 1,X\n", "Bezeichner \"X\" ist nicht bekannt", 1, 9, true},
  });
}

// CodeWords holds 128 words: pass 1 already fails when the line counts its
// 129th word.
TEST(Directives, DataHoldsAtMost128Words) {
  std::string values127;
  for (int i = 0; i < 127; ++i) values127 += std::to_string(i) + ",";
  {
    TRun run = Assemble("DATA " + values127 + "127\nAFTER: NOP\n");
    ExpectSuccess(run);
    EXPECT_EQ(ValueOf("AFTER"), 128);
    TWords words = HexWords(run.Hex);
    ASSERT_EQ(words.size(), 129u);
    for (std::uint32_t i = 0; i < 128; ++i) EXPECT_EQ(words[i], i);
  }
  {
    TRun run = Assemble("DATA \"" + std::string(128, 'A') + "\"\nAFTER: NOP\n");
    ExpectSuccess(run);
    EXPECT_EQ(ValueOf("AFTER"), 128);
  }
  std::string ones128;
  for (int i = 0; i < 128; ++i) ones128 += "1,";
  ExpectFailures({
      // "DATA " and 128 items "1," fill 261 columns; the 129th item's first
      // character stands in column 262.
      {"DATA " + ones128 + "1\n", "zu viele Datenworte (max. 128)", 1, 263},
      {"DATA " + ones128 + "'x'\n", "zu viele Datenworte (max. 128)", 1, 264},
      // The opening quote in column 6, the 129th character in column 135.
      {"DATA \"" + std::string(129, 'A') + "\"\n", "zu viele Datenworte (max. 128)", 1, 136},
      {"DATA \"" + std::string(100, 'A') + "\"," + ones128 + "1\n", "zu viele Datenworte (max. 128)", 1, 166},
  });
}

TEST(Directives, Equ) {
  TRun run = Assemble("PI: EQU 3.5\nN: EQU 10\nL: NOP\nA: EQU L+1\nHALF: EQU 2.5\nMOVLW HALF\nMOVLW PI\n");
  ExpectSuccess(run);
  auto pi = Symbol("PI");
  ASSERT_TRUE(pi);
  EXPECT_EQ(pi->Segment, symbols::SymConstant);
  EXPECT_EQ(pi->ValueType, symbols::TypeFloat);
  EXPECT_EQ(pi->Value, 4);  // rounded half away from zero
  EXPECT_DOUBLE_EQ(pi->FloatValue, 3.5);
  auto n = Symbol("N");
  ASSERT_TRUE(n);
  EXPECT_EQ(n->Segment, symbols::SymConstant);
  EXPECT_EQ(n->ValueType, symbols::TypeInteger);
  EXPECT_EQ(n->Value, 10);
  EXPECT_DOUBLE_EQ(n->FloatValue, 10.0);
  EXPECT_EQ(ValueOf("A"), 1);
  // A floating constant enters an operand with its floating value.
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0x0000}, {1, 0x3003}, {2, 0x3004}}));
  // Pass 2 shows the constant's value in the listing.
  EXPECT_NE(run.Prn.find(ListingLine("       = 000A", 2, "N: EQU 10")), std::string::npos) << run.Prn;
  EXPECT_NE(run.Prn.find(ListingLine("       = 3.50000000000000E+0000", 1, "PI: EQU 3.5")), std::string::npos)
      << run.Prn;
  ExpectFailures({
      {"EQU 5\n", "Marke erwartet", 1, 5},
      {"N EQU 10\n", "illegale Operation", 1, 2},  // a label without its colon
      {"A: EQU B\nB: EQU 1\n", "Bezeichner \"B\" ist nicht bekannt", 1, 9},
      {"A: EQU\n", kOperandExpected, 1, 7},
      {"A: EQU 1 2\n", kEndExpected, 1, 10},
  });
}

TEST(Directives, Bit) {
  TRun run = Assemble("F: BIT 0x7F,7\nG: BIT 3,0\nBSF F\nBCF G\n");
  ExpectSuccess(run);
  auto f = Symbol("F");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Segment, symbols::SymBit);
  EXPECT_EQ(f->ValueType, symbols::TypeInteger | symbols::TypeBitNumber);
  EXPECT_EQ(f->Value, 0x7F);
  EXPECT_EQ(f->BitNumber, 7);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0x17FF}, {1, 0x1003}}));
  EXPECT_NE(run.Prn.find(ListingLine("       = 007F.7", 1, "F: BIT 0x7F,7")), std::string::npos) << run.Prn;

  for (const char* source : {"CORE12\nF: BIT 0x1F,0\n", "CORE16\nF: BIT 0xFF,7\n", "CORE14ENH\nF: BIT 0x7F,0\n"}) {
    SCOPED_TRACE(source);
    ExpectSuccess(Assemble(source));
  }
  ExpectFailures({
      {"F: BIT 0x80,0\n", kRange, 1, 12},
      {"F: BIT 5,8\n", kRange, 1, 11},
      {"F: BIT 5,-1\n", kRange, 1, 12},
      {"F: BIT -1,0\n", kRange, 1, 10},
      {"F: BIT 5\n", kBitSyntax, 1, 9},
      {"F: BIT 5 ;,1\n", kBitSyntax, 1, 10},
      {"BIT 5,1\n", "Marke erwartet", 1, 5},
      {"CORE12\nF: BIT 0x20,0\n", kRange, 2, 12},
      {"CORE16\nF: BIT 0x100,0\n", kRange, 2, 13},
      {"F: BIT R,1\nR: EQU 5\n", "Bezeichner \"R\" ist nicht bekannt", 1, 9},
  });
}

TEST(Directives, End) {
  TRun run = Assemble("NOP\nEND\nthis line is never read\n");
  ExpectSuccess(run);
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0}}));
  EXPECT_EQ(run.Prn.find("never read"), std::string::npos);

  TRun inInclude = Assemble("NOP\nINCLUDE inc.pic\nNOP\n", "NOP\nEND\n");
  EXPECT_EQ(inInclude.Result.Outcome, driver::TRunOutcome::AssemblyError);
  EXPECT_EQ(inInclude.Result.ErrorMessage, Cp1252("\"END\" ist in Include-Dateien nicht erlaubt"));
  EXPECT_EQ(inInclude.Result.ErrorLine, 2);
  EXPECT_EQ(inInclude.Result.ErrorColumn, 4);
  EXPECT_FALSE(inInclude.Result.FailedInPass2);
}

// Each directive chooses the layout of its listing line (ListingKind):
// address for SEG, ORG and DS, constant for EQU, bit name for BIT, code for
// DATA and TITLE, plain for the core directives and END.
TEST(Directives, ListingKindOfEachDirective) {
  TRun run = Assemble(
      "CORE14\nSEG RAM\nORG 0x20\nX: DS 2\nSEG CODE\nORG 0x10\n"
      "N: EQU 0x12345\nF: BIT 3,5\nDATA 1,2\nTITLE hello\nEND\n");
  ExpectSuccess(run);
  const std::string blank31(31, ' ');
  const std::string expected[] = {
      ListingLine(blank31, 1, "CORE14"),
      ListingLine("RAM  0000", 2, "SEG RAM"),  // the new segment, its counter
      ListingLine("RAM  0020", 3, "ORG 0x20"),  // the new origin
      ListingLine("RAM  0020", 4, "X: DS 2"),
      ListingLine("CODE 0000", 5, "SEG CODE"),
      ListingLine("CODE 0010", 6, "ORG 0x10"),
      ListingLine("       = 2345", 7, "N: EQU 0x12345"),  // the low 16 bits
      ListingLine("       = 0003.5", 8, "F: BIT 3,5"),
      ListingLine("CODE 0010    00 0000 0000 0001 ", 9, "DATA 1,2") + "CODE 0011    00 0000 0000 0010       9\r\n",
      ListingLine("CODE 0012    00 0000 0000 0000 ", 10, "TITLE hello"),  // the row's opcode 0
      ListingLine(blank31, 11, "END"),
  };
  std::string lines;
  for (const std::string& line : expected) lines += line;
  EXPECT_NE(run.Prn.find(lines), std::string::npos) << run.Prn;
}

TEST(Directives, TitleIsFreeText) {
  TRun run = Assemble("TITLE any text, 'quote; \"more\nL: NOP\n");
  ExpectSuccess(run);
  EXPECT_EQ(ValueOf("L"), 0);  // TITLE occupies nothing
  EXPECT_EQ(HexWords(run.Hex), (TWords{{0, 0}}));
}

}  // namespace
}  // namespace veltas::testing
