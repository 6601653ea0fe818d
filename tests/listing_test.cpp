// The listing's text routines and the layouts that no source can reach
// (a kind or segment value outside the defined ones), with the writers fed
// directly through their globals. Expected texts are worked out by hand.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "isa/table.h"
#include "output/listing.h"
#include "output/symlist.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::testing {
namespace {

using output::BinaryWord;
using output::FloatText;
using output::HexWord;

TEST(HexWord, FourUpperCaseDigitsOfTheLow16Bits) {
  EXPECT_EQ(HexWord(0), "0000");
  EXPECT_EQ(HexWord(0xABC), "0ABC");
  EXPECT_EQ(HexWord(0xFFFF), "FFFF");
  EXPECT_EQ(HexWord(0x12345), "2345");
  EXPECT_EQ(HexWord(-1), "FFFF");
  EXPECT_EQ(HexWord(-1235), "FB2D");
  EXPECT_EQ(HexWord(std::numeric_limits<std::int32_t>::min()), "0000");
}

TEST(HexDigit, LowFourBits) {
  EXPECT_EQ(output::HexDigit(0), '0');
  EXPECT_EQ(output::HexDigit(9), '9');
  EXPECT_EQ(output::HexDigit(10), 'A');
  EXPECT_EQ(output::HexDigit(15), 'F');
  EXPECT_EQ(output::HexDigit(0x17), '7');
}

TEST(DecimalText, NoBlanksNoLeadingZerosMinusWhenNegative) {
  EXPECT_EQ(output::DecimalText(0), "0");
  EXPECT_EQ(output::DecimalText(1234), "1234");
  EXPECT_EQ(output::DecimalText(-17), "-17");
}

class CoreGuard {
 public:
  CoreGuard() : Saved(isa::CoreKind) {}
  ~CoreGuard() { isa::CoreKind = Saved; }

 private:
  std::uint8_t Saved;
};

TEST(BinaryWord, GroupsOfFourMostSignificantFirstPerCore) {
  CoreGuard guard;
  struct {
    std::uint8_t Core;
    std::uint16_t Word;
    const char* Text;
  } cases[] = {
      {isa::Core14Enh, 0x0000, "0000 0000 0000 0000"},
      {isa::Core14Enh, 0xFFFF, "1111 1111 1111 1111"},
      {isa::Core14Enh, 0x8421, "1000 0100 0010 0001"},
      {isa::Core16, 0x1248, "0001 0010 0100 1000"},
      {isa::Core16, 0xED45, "1110 1101 0100 0101"},
      {isa::Core14, 0x3055, "  11 0000 0101 0101"},
      {isa::Core14, 0xFFFF, "  11 1111 1111 1111"},  // the two top bits are hidden, set or not
      {isa::Core12, 0x0C55, "     1100 0101 0101"},
      {isa::Core12, 0xF5A3, "     0101 1010 0011"},
  };
  for (const auto& c : cases) {
    isa::CoreKind = c.Core;
    EXPECT_EQ(BinaryWord(c.Word), c.Text) << "core " << int(c.Core) << " word " << c.Word;
  }
}

TEST(FloatText, FifteenSignificantDigitsInTwentyThreeCharacters) {
  struct {
    double Value;
    const char* Text;
  } cases[] = {
      {3.14159, " 3.14159000000000E+0000"},
      {0.0, " 0.00000000000000E+0000"},
      {-0.0, " 0.00000000000000E+0000"},  // only values below zero get "-"
      {-1.5e-3, "-1.50000000000000E-0003"},
      {1.0, " 1.00000000000000E+0000"},
      {-1234.5678, "-1.23456780000000E+0003"},
      {9.999999999999999, " 1.00000000000000E+0001"},  // rounding carries into the exponent
      {-9.9999999999999999e99, "-1.00000000000000E+0100"},
      {2.0 / 3.0, " 6.66666666666667E-0001"},
      {0.1 + 0.2, " 3.00000000000000E-0001"},
      {123456789012345678.0, " 1.23456789012346E+0017"},
      {1e300, " 1.00000000000000E+0300"},
      {DBL_MAX, " 1.79769313486232E+0308"},
      {-DBL_MAX, "-1.79769313486232E+0308"},
      {1e-300, " 1.00000000000000E-0300"},
      {DBL_MIN, " 2.22507385850720E-0308"},
      {4.9406564584124654e-324, " 4.94065645841247E-0324"},  // the smallest subnormal
      {1e-5, " 1.00000000000000E-0005"},
      {12345.0, " 1.23450000000000E+0004"},
  };
  for (const auto& c : cases) {
    std::string text = FloatText(c.Value);
    EXPECT_EQ(text, c.Text) << c.Value;
    EXPECT_EQ(text.size(), 23u);
  }
}

// The listing written through a capturing host, one entry per call.
std::vector<std::string> Written;

void Capture(std::string_view text) { Written.emplace_back(text); }

class ListingLine : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved = source::Hooks;
    source::Hooks.WriteListing = Capture;
    Written.clear();
    isa::CoreKind = isa::Core14;
    state::CurrentSegment = state::SegCode;
    state::CodeCounter = 0x0010;
    state::RamCounter = 0x0020;
    state::CodeLength = 0;
    state::ListingKind = state::ListPlain;
    state::ClearError();
    source::IncludeDepth = 0;
    source::LineNumber = 12;
    source::CurrentLine = "x";
    symbols::PendingSymbol = symbols::TSymbol{};
  }
  void TearDown() override {
    source::Hooks = Saved;
    source::IncludeDepth = 0;
    state::ClearError();
  }
  source::THostHooks Saved;
};

TEST_F(ListingLine, UnknownKindGetsThePlainLayout) {
  state::ListingKind = 3;
  output::WriteListingLine();
  EXPECT_EQ(Written, std::vector<std::string>{std::string(31, ' ') + "     12  x\r\n"});
}

TEST_F(ListingLine, UnknownSegmentShowsBlanksAndAddressZero) {
  state::ListingKind = state::ListAddress;
  state::CurrentSegment = 7;
  output::WriteListingLine();
  EXPECT_EQ(Written, std::vector<std::string>{"     0000" + std::string(22, ' ') + "     12  x\r\n"});
}

TEST_F(ListingLine, IncludeMarkReplacesTheFirstCharacterOfTheField) {
  source::IncludeDepth = 1;
  source::LineNumber = 1234567;
  output::WriteListingLine();
  EXPECT_EQ(Written, std::vector<std::string>{std::string(31, ' ') + "+234567  x\r\n"});
}

TEST_F(ListingLine, OneCallPerLineAndOneForTheErrorLine) {
  state::ListingKind = state::ListCode;
  state::CodeLength = 2;
  state::CodeWords[0] = 0x2805;
  state::CodeWords[1] = 0x0009;
  state::SetError("Fehler X");
  output::WriteListingLine();
  EXPECT_EQ(Written, (std::vector<std::string>{"CODE 0010    10 1000 0000 0101      12  x\r\n",
                                               "CODE 0011    00 0000 0000 1001      12\r\n",
                                               "*** Fehler:          Fehler X"}));
}

TEST_F(ListingLine, ConstantShowsTheFloatingTextOnlyForTheFloatingType) {
  state::ListingKind = state::ListConstant;
  symbols::PendingSymbol.ValueType = symbols::TypeFloat;
  symbols::PendingSymbol.FloatValue = -2.5;
  symbols::PendingSymbol.Value = -3;
  output::WriteListingLine();
  symbols::PendingSymbol.ValueType = symbols::TypeInteger;
  output::WriteListingLine();
  EXPECT_EQ(Written, (std::vector<std::string>{"       =-2.50000000000000E+0000     12  x\r\n",
                                               "       = FFFD" + std::string(18, ' ') + "     12  x\r\n"}));
}

TEST_F(ListingLine, ContinuationLinesAreNeverCut) {
  state::ListingKind = state::ListCode;
  state::CodeLength = 2;
  state::CodeWords[0] = 1;
  state::CodeWords[1] = 2;
  source::CurrentLine = std::string(200, 'y');
  output::WriteListingLine();
  ASSERT_EQ(Written.size(), 2u);
  EXPECT_EQ(Written[0].size(), 128u);
  EXPECT_EQ(Written[0], "CODE 0010    00 0000 0000 0001      12  " + std::string(86, 'y') + "\r\n");
  EXPECT_EQ(Written[1], "CODE 0011    00 0000 0000 0010      12\r\n");
}

class SymbolListTest : public ListingLine {
 protected:
  void Add(const std::string& name, std::uint8_t segment, std::uint8_t type, std::int32_t value, std::uint8_t bit = 0) {
    symbols::PendingSymbol = symbols::TSymbol{name, segment, type, bit, value, 0.0};
    ASSERT_TRUE(symbols::AddSymbol());
  }
  void TearDown() override {
    ListingLine::TearDown();
    output::ListAddresses = false;
    symbols::ClearSymbols();
  }
};

TEST_F(SymbolListTest, NothingWithoutTheSwitch) {
  symbols::ClearSymbols();
  Add("A", symbols::SymCode, symbols::TypeInteger, 1);
  output::ListAddresses = false;
  output::WriteSymbolList();
  EXPECT_TRUE(Written.empty());
}

TEST_F(SymbolListTest, NewestFirstPaddedWithKindAndBit) {
  symbols::ClearSymbols();
  Add("COUNT", symbols::SymConstant, symbols::TypeInteger, 0x1234);
  Add("ZERO", symbols::SymBit, symbols::TypeInteger | symbols::TypeBitNumber, 3, 5);
  Add("VAR", symbols::SymRam, symbols::TypeInteger, 0x20);
  Add("LOOP", symbols::SymCode, symbols::TypeInteger, 0x20);
  Add("ODD", 9, symbols::TypeInteger, 0x10000);  // no kind word for an unknown segment
  output::ListAddresses = true;
  output::WriteSymbolList();
  EXPECT_EQ(Written, (std::vector<std::string>{"Symbol-Liste:\r\n", "ODD   = 0000H\r\n", "LOOP  = CSEG 0020H\r\n",
                                               "VAR   = RAM  0020H\r\n", "ZERO  = BIT  0003H.5\r\n",
                                               "COUNT = EQU  1234H\r\n"}));
}

}  // namespace
}  // namespace veltas::testing
