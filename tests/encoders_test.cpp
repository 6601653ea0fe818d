// The instruction rows of the mnemonic table and their operand encoders:
// every row under every core, the no-operand rows, and the edge cases of the
// register, literal, bit, skip, branch, call, goto, return and special forms.
// Every expected word is put together by hand from the row's base opcode and
// the core's field layout.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "symbols/symbols.h"
#include "tests/encoders_cases.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

// What one row gives under one core: its words, or a message.
struct TCell {
  std::vector<std::uint16_t> Words;
  const char* Error = "";
};

const TCell kNo{{}, kWrongCore};
TCell W(std::uint16_t w) { return {{w}}; }
TCell W2(std::uint16_t w1, std::uint16_t w2) { return {{w1, w2}}; }
TCell E(const char* message) { return {{}, message}; }

struct TRowCase {
  const char* Name;
  const char* Operand;
  TCell Core12, Core14, Core14Enh, Core16;
};

void ExpectRow(const TRowCase& row) {
  const std::pair<const char*, const TCell*> cores[] = {
      {"CORE12", &row.Core12}, {"CORE14", &row.Core14}, {"CORE14ENH", &row.Core14Enh}, {"CORE16", &row.Core16}};
  for (auto [core, cell] : cores) {
    std::string line = std::string(row.Name) + (row.Operand[0] ? std::string(" ") + row.Operand : "");
    SCOPED_TRACE(std::string(core) + ": " + line);
    TLineResult r = AssembleLine(core, line);
    if (cell->Error[0] == '\0') {
      EXPECT_EQ(r.Error, "");
      EXPECT_EQ(WordsText(r.Words), WordsText(cell->Words));
    } else {
      EXPECT_EQ(r.Error, Cp1252(cell->Error));
      // The core test fails right behind the operation word.
      if (cell->Error == kWrongCore) {
        EXPECT_EQ(r.Position, static_cast<int>(std::string(row.Name).size()) + 1);
      }
    }
  }
}

// Operands used below: register 5 (destination F by default), bit 3 of
// register 5, literal 0x41, call and goto target 0x12. The fields:
//   register-destination 5: CORE12 0x025, CORE14 0x085, CORE16 0x205
//   bit 5,3:                CORE12 0x065, CORE14 0x185, CORE16 0x605
TEST(MnemonicTable, EveryInstructionRowUnderEveryCore) {
  const TRowCase rows[] = {
      {"ADDWF", "5", W(0x01E5), W(0x0785), W(0x0785), W(0x2605)},
      {"ADDWFC", "5", kNo, W(0x3D85), W(0x3D85), W(0x2205)},
      {"ANDWF", "5", W(0x0165), W(0x0585), W(0x0585), W(0x1605)},
      {"ASRF", "5", kNo, W(0x3785), W(0x3785), kNo},
      {"LSLF", "5", kNo, W(0x3585), W(0x3585), kNo},
      {"LSRF", "5", kNo, W(0x3685), W(0x3685), kNo},
      {"CLRF", "5", W(0x0065), W(0x0185), W(0x0185), W(0x6A05)},
      {"COMF", "5", W(0x0265), W(0x0985), W(0x0985), W(0x1E05)},
      {"CPFSEQ", "5", kNo, kNo, kNo, W(0x6205)},
      {"CPFSGT", "5", kNo, kNo, kNo, W(0x6405)},
      {"CPFSLT", "5", kNo, kNo, kNo, W(0x6005)},
      {"DECF", "5", W(0x00E5), W(0x0385), W(0x0385), W(0x0605)},
      {"DECFSZ", "5", W(0x02E5), W(0x0B85), W(0x0B85), W(0x2E05)},
      {"DECFSNZ", "5", kNo, kNo, kNo, W(0x4E05)},
      {"DCFSNZ", "5", kNo, kNo, kNo, W(0x4E05)},
      {"INCF", "5", W(0x02A5), W(0x0A85), W(0x0A85), W(0x2A05)},
      {"INCFSZ", "5", W(0x03E5), W(0x0F85), W(0x0F85), W(0x3E05)},
      {"INFSNZ", "5", kNo, kNo, kNo, W(0x4A05)},
      {"IORWF", "5", W(0x0125), W(0x0485), W(0x0485), W(0x1205)},
      {"MOVF", "5", W(0x0225), W(0x0885), W(0x0885), W(0x5205)},
      {"MOVFF", "1,2", kNo, kNo, kNo, E(kUnderConstruction)},
      {"MOVWF", "5", W(0x0025), W(0x0085), W(0x0085), W(0x6E05)},
      {"MULWF", "5", kNo, kNo, kNo, W(0x0205)},
      {"NEGF", "5", kNo, kNo, kNo, W(0x6C05)},
      {"RLCF", "5", kNo, kNo, kNo, W(0x3605)},
      {"RLNCF", "5", kNo, kNo, kNo, W(0x4605)},
      {"RRCF", "5", kNo, kNo, kNo, W(0x3205)},
      {"RRNCF", "5", kNo, kNo, kNo, W(0x4205)},
      {"SETF", "5", kNo, kNo, kNo, W(0x6805)},
      {"SUBFWB", "5", kNo, kNo, kNo, W(0x5605)},
      {"SUBWF", "5", W(0x00A5), W(0x0285), W(0x0285), W(0x5E05)},
      {"SUBWFB", "5", kNo, W(0x3B85), W(0x3B85), W(0x5A05)},
      {"SWAPF", "5", W(0x03A5), W(0x0E85), W(0x0E85), W(0x3A05)},
      {"TSTFSZ", "5", kNo, kNo, kNo, W(0x6605)},
      {"XORWF", "5", W(0x01A5), W(0x0685), W(0x0685), W(0x1A05)},
      {"BCF", "5,3", W(0x0465), W(0x1185), W(0x1185), W(0x9605)},
      {"BSF", "5,3", W(0x0565), W(0x1585), W(0x1585), W(0x8605)},
      {"BTFSC", "5,3", W(0x0665), W(0x1985), W(0x1985), W(0xB605)},
      {"BTFSS", "5,3", W(0x0765), W(0x1D85), W(0x1D85), W(0xA605)},
      {"BTG", "5,3", kNo, kNo, kNo, W(0x7605)},
      {"SKIP", "Z", W(0x0743), W(0x1D03), W(0x1D03), W(0xA4D8)},
      {"TOGGLE", "5,3", kNo, kNo, kNo, W(0x7605)},
      {"BC", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BN", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BNC", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BNN", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BNOV", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BNZ", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BOV", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"BRA", "__here", kNo, E(kBraNotHere), W(0x33FF), E(kBraNotHere)},
      {"BRW", "", kNo, W(0x000B), W(0x000B), kNo},
      {"BZ", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"CALL", "0x12", W(0x0912), W(0x2012), W(0x2012), W2(0xEC12, 0xF000)},
      {"CALLW", "", kNo, W(0x000A), W(0x000A), kNo},
      {"CLRWDT", "", W(0x0004), W(0x0064), W(0x0064), W(0x0004)},
      {"DAW", "", kNo, kNo, kNo, W(0x0007)},
      {"GOTO", "0x12", W(0x0A12), W(0x2812), W(0x2812), W2(0xEF12, 0xF000)},
      {"NOP", "", W(0x0000), W(0x0000), W(0x0000), W(0x0000)},
      {"POP", "", kNo, kNo, kNo, W(0x0006)},
      {"PUSH", "", kNo, kNo, kNo, W(0x0005)},
      {"RCALL", "__here", kNo, kNo, kNo, E(kNoEncoder)},
      {"RESET", "", kNo, W(0x0001), W(0x0001), W(0x00FF)},
      {"RETFIE", "", kNo, W(0x0009), W(0x0009), W(0x0010)},
      {"RETLW", "0x41", W(0x0841), W(0x3441), W(0x3441), W(0x0C41)},
      {"RETURN", "", kNo, W(0x0008), W(0x0008), W(0x0012)},
      {"SLEEP", "", W(0x0003), W(0x0063), W(0x0063), W(0x0003)},
      {"ADDLW", "0x41", kNo, W(0x3E41), W(0x3E41), W(0x0F41)},
      {"ANDLW", "0x41", W(0x0E41), W(0x3941), W(0x3941), W(0x0B41)},
      {"IORLW", "0x41", W(0x0D41), W(0x3841), W(0x3841), W(0x0941)},
      {"LFSR", "1,0x123", kNo, kNo, kNo, W2(0xEE11, 0xF023)},
      {"MOVLB", "5", kNo, W(0x0025), W(0x0025), W(0x0105)},
      {"MOVLP", "5", kNo, W(0x3185), W(0x3185), kNo},
      {"MOVLW", "0x41", W(0x0C41), W(0x3041), W(0x3041), W(0x0E41)},
      {"MULLW", "0x41", kNo, kNo, kNo, W(0x0D41)},
      {"SUBLW", "0x41", kNo, W(0x3C41), W(0x3C41), W(0x0841)},
      {"XORLW", "0x41", W(0x0F41), W(0x3A41), W(0x3A41), W(0x0A41)},
      {"TBLRD*", "", kNo, kNo, kNo, W(0x0008)},
      {"TBLRD*+", "", kNo, kNo, kNo, W(0x0009)},
      {"TBLRD*-", "", kNo, kNo, kNo, W(0x000A)},
      {"TBLRD+*", "", kNo, kNo, kNo, W(0x000B)},
      {"TBLWT*", "", kNo, kNo, kNo, W(0x000C)},
      {"TBLWT*+", "", kNo, kNo, kNo, W(0x000D)},
      {"TBLWT*-", "", kNo, kNo, kNo, W(0x000E)},
      {"TBLWT+*", "", kNo, kNo, kNo, W(0x000F)},
      {"CLRW", "", W(0x0040), W(0x0100), W(0x0100), kNo},
      {"OPTION", "", W(0x0002), W(0x0062), W(0x0062), kNo},
      {"RLF", "5", W(0x0365), W(0x0D85), W(0x0D85), kNo},
      {"RRF", "5", W(0x0325), W(0x0C85), W(0x0C85), kNo},
      {"TRIS", "5", W(0x0005), W(0x0065), W(0x0065), kNo},
      {"ADDFSR0", "5", kNo, W(0x3105), W(0x3105), kNo},
      {"ADDFSR1", "5", kNo, W(0x3145), W(0x3145), kNo},
      {"MOVIW", "++FSR0", kNo, W(0x0010), W(0x0010), kNo},
      {"MOVWI", "++FSR0", kNo, W(0x0018), W(0x0018), kNo},
  };
  EXPECT_EQ(std::size(rows), 93u);  // rows 1 to 93 of the table are instructions
  for (const TRowCase& row : rows) ExpectRow(row);
}

// The instructions without operand: the word is the base opcode, and text
// after the mnemonic is not examined.
TEST(MnemonicTable, NoOperandRowsIgnoreTheirRest) {
  const TRowCase rows[] = {
      {"NOP", "xyz", W(0x0000), W(0x0000), W(0x0000), W(0x0000)},
      {"nop", "", W(0x0000), W(0x0000), W(0x0000), W(0x0000)},
      {"Sleep", "; rest", W(0x0003), W(0x0063), W(0x0063), W(0x0003)},
      {"CLRWDT", "1,2,3", W(0x0004), W(0x0064), W(0x0064), W(0x0004)},
      {"RESET", "now", kNo, W(0x0001), W(0x0001), W(0x00FF)},
      {"tblrd*+", "", kNo, kNo, kNo, W(0x0009)},
      {"TBLWT+*", "x", kNo, kNo, kNo, W(0x000F)},
      {"CLRW", "W", W(0x0040), W(0x0100), W(0x0100), kNo},
  };
  for (const TRowCase& row : rows) ExpectRow(row);
}

TEST(MnemonicTable, CoreSelection) {
  ExpectLines({
      {.Line = "MOVLW 5", .Words = {0x3005}},  // CORE14 without a core directive
      {.Core = "CORE12", .Line = "RETURN", .Error = kWrongCore, .Position = 7},
      {.Core = "CORE16", .Line = "CLRW", .Error = kWrongCore, .Position = 5},
      {.Core = "CORE16", .Line = "IORLW 1", .Words = {0x0901}},
      {.Core = "CORE14", .Line = "BRA __here", .Error = kBraNotHere},
      {.Core = "CORE14", .Line = "MOVLP 0", .Words = {0x3180}},
      // A core directive holds from the next statement on.
      {.Core = "CORE16", .Line = "MOVLW 1", .Words = {0x3001}, .Definitions = "CORE14"},
      {.Core = "CORE14", .Line = "MOVLW 1", .Words = {0x0E01}, .Definitions = "CORE16"},
  });
}

// File-register and literal operands.
TEST(Operands, RegisterDestinationForm) {
  ExpectLines({
      {.Core = "CORE14", .Line = "ADDWF 0x20,W", .Words = {0x0720}},
      {.Core = "CORE14", .Line = "ADDWF 0x20", .Words = {0x07A0}},
      {.Core = "CORE14", .Line = "ADDWF 0x20,F", .Words = {0x07A0}},
      {.Core = "CORE14", .Line = "addwf 0x20,w", .Words = {0x0720}},
      {.Core = "CORE14", .Line = "ADDWF 0x20 , W", .Words = {0x0720}},
      {.Core = "CORE14", .Line = "ADDWF 5,Wreg", .Words = {0x0705}},  // only the first character counts
      {.Core = "CORE14", .Line = "ADDWF 5,Fxyz", .Words = {0x0785}},
      {.Core = "CORE14", .Line = "ADDWF 5,W,xyz", .Words = {0x0705}},  // nothing after the destination
      {.Core = "CORE14", .Line = "ADDWF 0x7F", .Words = {0x07FF}},
      {.Core = "CORE14", .Line = "ADDWF 0x80", .Error = kRange, .Position = 11},
      {.Core = "CORE14", .Line = "ADDWF -1", .Error = kRange, .Position = 9},
      {.Core = "CORE14", .Line = "ADDWF 5,0", .Error = kDestination, .Position = 10},
      {.Core = "CORE14", .Line = "ADDWF 5,", .Error = kDestination, .Position = 9},
      {.Core = "CORE14", .Line = "ADDWF X", .Error = "Bezeichner \"X\" ist nicht bekannt", .Position = 8},
      {.Core = "CORE12", .Line = "ADDWF 0x10,W", .Words = {0x01D0}},
      {.Core = "CORE12", .Line = "ADDWF 0x10", .Words = {0x01F0}},
      {.Core = "CORE12", .Line = "ADDWF 0x1F,F", .Words = {0x01FF}},
      {.Core = "CORE12", .Line = "ADDWF 0x20", .Error = kRange, .Position = 11},
      {.Core = "CORE14ENH", .Line = "LSLF 0x7F,W", .Words = {0x357F}},
      {.Core = "CORE16", .Line = "ADDWF 0x10", .Words = {0x2610}},
      {.Core = "CORE16", .Line = "ADDWF 0x10,A", .Words = {0x2710}},
      {.Core = "CORE16", .Line = "ADDWF 0x10,a,w", .Words = {0x2510}},
      {.Core = "CORE16", .Line = "ADDWF 0x10,A,W", .Words = {0x2510}},
      {.Core = "CORE16", .Line = "ADDWF 0x10,A,F", .Words = {0x2710}},
      {.Core = "CORE16", .Line = "ADDWF 0xFF", .Words = {0x26FF}},
      // The first comma always introduces the access flag.
      {.Core = "CORE16", .Line = "ADDWF 0x10,W", .Error = kAccess, .Position = 13},
      // The access message does not stop the form: a bad destination or
      // register replaces it.
      {.Core = "CORE16", .Line = "ADDWF 0x10,W,Q", .Error = kDestination, .Position = 15},
      {.Core = "CORE16", .Line = "ADDWF 0x100,W", .Error = kRange, .Position = 14},
      {.Core = "CORE16", .Line = "ADDWF 0x100", .Error = kRange, .Position = 12},
  });
}

TEST(Operands, RegisterForm) {
  ExpectLines({
      {.Core = "CORE14", .Line = "MOVWF 0x85", .Error = kRange, .Position = 11},
      {.Core = "CORE14", .Line = "MOVWF 0x05", .Words = {0x0085}},
      {.Core = "CORE14", .Line = "CLRF 0x7F", .Words = {0x01FF}},
      {.Core = "CORE14", .Line = "CLRF 5,W", .Words = {0x0185}},  // text after the register is ignored
      {.Core = "CORE14", .Line = "MOVWF -1", .Error = kRange, .Position = 9},
      {.Core = "CORE14", .Line = "TRIS 6", .Words = {0x0066}},
      {.Core = "CORE12", .Line = "MOVWF 0x20", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "MOVWF 0x1F", .Words = {0x003F}},
      {.Core = "CORE12", .Line = "TRIS 6", .Words = {0x0006}},
      {.Core = "CORE16", .Line = "CLRF 0x80", .Words = {0x6A80}},
      {.Core = "CORE16", .Line = "CLRF 0x10,a", .Words = {0x6B10}},
      {.Core = "CORE16", .Line = "CLRF 0x10,B", .Error = kAccess, .Position = 12},
      {.Core = "CORE16", .Line = "MOVWF 0xFF", .Words = {0x6EFF}},
      {.Core = "CORE16", .Line = "MOVWF 0x100", .Error = kRange, .Position = 12},
      // The register form stops at the access message.
      {.Core = "CORE16", .Line = "CLRF 0x100,B", .Error = kAccess, .Position = 13},
      // A RAM label is taken unchanged.
      {.Core = "CORE14",
       .Line = "MOVWF CNT",
       .Words = {0x00A0},
       .Definitions = "SEG RAM\nORG 0x20\nCNT: DS 1\nSEG CODE"},
  });
}

TEST(Operands, LiteralForm) {
  ExpectLines({
      {.Core = "CORE14", .Line = "MOVLW -1", .Words = {0x30FF}},
      {.Core = "CORE14", .Line = "MOVLW 255", .Words = {0x30FF}},
      {.Core = "CORE14", .Line = "MOVLW -128", .Words = {0x3080}},
      {.Core = "CORE14", .Line = "MOVLW 256", .Error = kRange, .Position = 10},
      {.Core = "CORE14", .Line = "MOVLW -129", .Error = kRange, .Position = 11},
      {.Core = "CORE14", .Line = "MOVLW 5,7", .Words = {0x3005}},  // the rest is not examined
      {.Core = "CORE14", .Line = "MOVLW 5 ; five", .Words = {0x3005}},
      {.Core = "CORE14", .Line = "MOVLW 5 7", .Error = kEndExpected, .Position = 9},
      {.Core = "CORE14", .Line = "MOVLW", .Error = kOperandExpected, .Position = 6},
      {.Core = "CORE14", .Line = "MOVLW 'A'", .Words = {0x3041}},
      {.Core = "CORE14", .Line = "RETLW HIGH(1234H)", .Words = {0x3412}},
      {.Core = "CORE12", .Line = "MOVLW 0x41", .Words = {0x0C41}},
      {.Core = "CORE16", .Line = "MOVLW 0x41", .Words = {0x0E41}},
      {.Core = "CORE16", .Line = "MULLW -1", .Words = {0x0DFF}},
  });
}

// Bit, skip, branch, call, goto and return operands.
TEST(Operands, BitForm) {
  ExpectLines({
      {.Core = "CORE14", .Line = "BSF 3,5", .Words = {0x1683}},
      {.Core = "CORE14", .Line = "BCF 3,5", .Words = {0x1283}},
      {.Core = "CORE14", .Line = "BSF RP0", .Words = {0x1683}, .Definitions = "RP0: BIT 3,5"},
      // Nothing after a bit name is examined.
      {.Core = "CORE14", .Line = "BSF RP0,7", .Words = {0x1683}, .Definitions = "RP0: BIT 3,5"},
      {.Core = "CORE14", .Line = "BSF R,5", .Words = {0x1683}, .Definitions = "R: EQU 3"},  // a constant is no bit name
      {.Core = "CORE14", .Line = "BTFSS 0x7F,7", .Words = {0x1FFF}},
      {.Core = "CORE12", .Line = "BSF 3,5", .Words = {0x05A3}},
      {.Core = "CORE12", .Line = "BTFSC 0x1F,7", .Words = {0x06FF}},
      {.Core = "CORE16", .Line = "BSF 0x80,3", .Words = {0x8680}},
      {.Core = "CORE16", .Line = "BTG 0xFF,7", .Words = {0x7EFF}},
      {.Core = "CORE14", .Line = "BSF 0x80,1", .Error = kBitImpossible, .Position = 11},
      {.Core = "CORE12", .Line = "BSF 0x20,1", .Error = kBitImpossible, .Position = 11},
      {.Core = "CORE16", .Line = "BSF 0x100,1", .Error = kBitImpossible, .Position = 12},
      // A negative register or a bit number outside 0..7.
      {.Core = "CORE14", .Line = "BSF -1,3", .Error = kBitImpossible, .Position = 9},
      {.Core = "CORE14", .Line = "BSF 3,8", .Error = kBitImpossible, .Position = 8},
      {.Core = "CORE14", .Line = "BSF 3,-1", .Error = kBitImpossible, .Position = 9},
      {.Core = "CORE12", .Line = "BCF 3,8", .Error = kBitImpossible, .Position = 8},
      {.Core = "CORE16", .Line = "BCF 3,8", .Error = kBitImpossible, .Position = 8},
      // A bit name defined under another core.
      {.Core = "CORE14",
       .Line = "BSF HB",
       .Error = kBitImpossible,
       .Position = 7,
       .Definitions = "CORE16\nHB: BIT 0x80,1\nCORE14"},
      {.Core = "CORE14", .Line = "BSF 3", .Error = kBitSyntax, .Position = 6},
      {.Core = "CORE14", .Line = "BSF 3 5", .Error = kEndExpected, .Position = 7},
      {.Core = "CORE14", .Line = "BSF FOO", .Error = "Bezeichner \"FOO\" ist nicht bekannt", .Position = 8},
      {.Core = "CORE14", .Line = "BSF 3,FOO", .Error = "Bezeichner \"FOO\" ist nicht bekannt", .Position = 10},
      {.Core = "CORE14", .Line = "BSF", .Error = kOperandExpected, .Position = 4},
  });
}

TEST(Operands, SkipForm) {
  const char* flag = "FLAG: BIT 0x20,4";
  const char* z = "Z: BIT 0x20,4";
  ExpectLines({
      {.Core = "CORE14", .Line = "SKIP Z", .Words = {0x1D03}},  // BTFSS 3,2
      {.Core = "CORE14", .Line = "SKIP NZ", .Words = {0x1903}},
      {.Core = "CORE14", .Line = "SKIP C", .Words = {0x1C03}},
      {.Core = "CORE14", .Line = "SKIP NC", .Words = {0x1803}},
      {.Core = "CORE14", .Line = "SKIP DC", .Words = {0x1C83}},
      {.Core = "CORE14", .Line = "SKIP NDC", .Words = {0x1883}},
      {.Core = "CORE14", .Line = "skip z", .Words = {0x1D03}},
      {.Core = "CORE14ENH", .Line = "SKIP NZ", .Words = {0x1903}},
      {.Core = "CORE12", .Line = "SKIP Z", .Words = {0x0743}},
      {.Core = "CORE12", .Line = "SKIP NZ", .Words = {0x0643}},
      {.Core = "CORE12", .Line = "SKIP C", .Words = {0x0703}},
      {.Core = "CORE12", .Line = "SKIP NC", .Words = {0x0603}},
      {.Core = "CORE12", .Line = "SKIP DC", .Words = {0x0723}},
      {.Core = "CORE12", .Line = "SKIP NDC", .Words = {0x0623}},
      {.Core = "CORE14", .Line = "SKIP FLAG", .Words = {0x1E20}, .Definitions = flag},
      {.Core = "CORE14", .Line = "SKIP NOT FLAG", .Words = {0x1A20}, .Definitions = flag},
      {.Core = "CORE14", .Line = "skip not FLAG", .Words = {0x1A20}, .Definitions = flag},
      {.Core = "CORE14", .Line = "SKIP 0x20,4", .Words = {0x1E20}},
      {.Core = "CORE14", .Line = "SKIP NOT 0x20,4", .Words = {0x1A20}},
      {.Core = "CORE12", .Line = "SKIP 0x10,4", .Words = {0x0790}},
      {.Core = "CORE12", .Line = "SKIP NOT 0x10,4", .Words = {0x0690}},
      {.Core = "CORE14", .Line = "SKIP flag", .Error = kBitUnknown, .Position = 10, .Definitions = flag},
      {.Core = "CORE14", .Line = "SKIP XYZ", .Error = kBitUnknown, .Position = 9},
      {.Core = "CORE14", .Line = "SKIP NOT Z", .Error = kBitUnknown, .Position = 11},
      // The condition table is searched before the bit names.
      {.Core = "CORE14", .Line = "SKIP Z", .Words = {0x1D03}, .Definitions = z},
      {.Core = "CORE14", .Line = "SKIP NOT Z", .Words = {0x1A20}, .Definitions = z},
      // Register,bit checks.
      {.Core = "CORE14", .Line = "SKIP 0x80,1", .Error = kBitImpossible, .Position = 12},
      {.Core = "CORE14", .Line = "SKIP -1,1", .Error = kBitImpossible, .Position = 10},
      {.Core = "CORE14", .Line = "SKIP 3,8", .Error = kBitImpossible, .Position = 9},
      {.Core = "CORE14", .Line = "SKIP NOT 3,-1", .Error = kBitImpossible, .Position = 14},
      {.Core = "CORE14",
       .Line = "SKIP HB",
       .Error = kBitImpossible,
       .Position = 8,
       .Definitions = "CORE16\nHB: BIT 0x80,1\nCORE14"},
      // The register,bit path stops at its first failure, where it was found.
      {.Core = "CORE14", .Line = "SKIP X,1", .Error = kBitUnknown, .Position = 7},  // no comma search
      {.Core = "CORE14", .Line = "SKIP 3", .Error = kBitUnknown, .Position = 7},
      {.Core = "CORE14", .Line = "SKIP 3 ; c", .Error = kBitUnknown, .Position = 8},
      {.Core = "CORE14", .Line = "SKIP 3 5", .Error = kBitUnknown, .Position = 8},
      {.Core = "CORE14", .Line = "SKIP 3,Y", .Error = kBitUnknown, .Position = 9},
      {.Core = "CORE14", .Line = "SKIP NOT", .Error = kBitUnknown, .Position = 9},
      {.Core = "CORE14", .Line = "SKIP", .Error = kBitUnknown, .Position = 5},
      // CORE16: BTFSS (0xA000) for the plain forms, BTFSC (0xB000) for NOT;
      // the conditions test register 0xD8 in the access bank.
      {.Core = "CORE16", .Line = "SKIP Z", .Words = {0xA4D8}},
      {.Core = "CORE16", .Line = "SKIP NZ", .Words = {0xB4D8}},
      {.Core = "CORE16", .Line = "SKIP C", .Words = {0xA0D8}},
      {.Core = "CORE16", .Line = "SKIP NC", .Words = {0xB0D8}},
      {.Core = "CORE16", .Line = "SKIP DC", .Words = {0xA2D8}},
      {.Core = "CORE16", .Line = "SKIP NDC", .Words = {0xB2D8}},
      {.Core = "CORE16", .Line = "SKIP FLAG", .Words = {0xA820}, .Definitions = flag},
      {.Core = "CORE16", .Line = "SKIP NOT FLAG", .Words = {0xB820}, .Definitions = flag},
      {.Core = "CORE16", .Line = "SKIP 0x20,4", .Words = {0xA820}},
      {.Core = "CORE16", .Line = "SKIP NOT 0x20,4", .Words = {0xB820}},
      {.Core = "CORE16", .Line = "SKIP 0xFF,7", .Words = {0xAEFF}},
      {.Core = "CORE16", .Line = "SKIP 0x100,7", .Error = kBitImpossible, .Position = 13},
  });
}

TEST(Operands, RelativeBranch) {
  ExpectLines({
      {.Core = "CORE14ENH", .Line = "BRA __here", .Words = {0x33FF}},  // offset -1
      {.Core = "CORE14ENH", .Line = "BRA __here+1", .Words = {0x3200}},
      {.Core = "CORE14ENH", .Line = "BRA __here+256", .Words = {0x32FF}},
      {.Core = "CORE14ENH", .Line = "BRA __here+257", .Error = kRange, .Position = 15},
      {.Core = "CORE14ENH", .Line = "BRA 0x200-255", .Words = {0x3300}, .Definitions = "ORG 0x200"},  // offset -256
      {.Core = "CORE14ENH", .Line = "BRA 0x200-256", .Error = kRange, .Position = 14, .Definitions = "ORG 0x200"},
      // A label further down (the statement's words are followed by the NOPs).
      {.Core = "CORE14ENH",
       .Line = "BRA AHEAD\nNOP\nAHEAD: NOP",
       .Words = {0x3201, 0x0000, 0x0000},
       .Definitions = "ORG 0x10"},
      {.Core = "CORE14", .Line = "BRA __here", .Error = kBraNotHere, .Position = 11},
      {.Core = "CORE16", .Line = "BRA __here", .Error = kBraNotHere, .Position = 11},
      {.Core = "CORE14", .Line = "BRA X", .Error = "Bezeichner \"X\" ist nicht bekannt", .Position = 6},
  });
}

TEST(Operands, CallAndGoto) {
  ExpectLines({
      {.Core = "CORE14", .Line = "CALL 0x7FF", .Words = {0x27FF}},
      {.Core = "CORE14", .Line = "CALL 0x800", .Error = kRange, .Position = 11},
      {.Core = "CORE14", .Line = "CALL -1", .Error = kRange, .Position = 8},
      {.Core = "CORE14", .Line = "GOTO 0x1FFF", .Words = {0x2FFF}},
      {.Core = "CORE14", .Line = "GOTO 0x800", .Words = {0x2800}},
      {.Core = "CORE14", .Line = "GOTO 0x2000", .Error = kRange, .Position = 12},
      {.Core = "CORE14", .Line = "GOTO -1", .Error = kRange, .Position = 8},
      {.Core = "CORE14ENH", .Line = "CALL 0x7FF", .Words = {0x27FF}},
      {.Core = "CORE14", .Line = "GOTO $", .Words = {0x2810}, .Definitions = "ORG 0x10"},
      {.Core = "CORE14", .Line = "GOTO $+1", .Words = {0x2810}, .Definitions = "ORG 0x10"},
      {.Core = "CORE14", .Line = "GOTO   $", .Words = {0x2810}, .Definitions = "ORG 0x10"},
      {.Core = "CORE14", .Line = "GOTO LATER\nLATER: NOP", .Words = {0x2801, 0x0000}},  // a label further down
      // CORE12: GOTO takes 0..0x7FF and merges 9 bits; CALL takes targets
      // whose bit 8 is clear and merges 8 bits.
      {.Core = "CORE12", .Line = "GOTO 0x1FF", .Words = {0x0BFF}},
      {.Core = "CORE12", .Line = "GOTO 0x200", .Words = {0x0A00}},
      {.Core = "CORE12", .Line = "GOTO 0x7FF", .Words = {0x0BFF}},
      {.Core = "CORE12", .Line = "GOTO 0x800", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "GOTO -1", .Error = kRange, .Position = 8},
      {.Core = "CORE12", .Line = "GOTO $", .Words = {0x0A10}, .Definitions = "ORG 0x210"},
      {.Core = "CORE12", .Line = "CALL 0xFF", .Words = {0x09FF}},
      {.Core = "CORE12", .Line = "CALL 0x100", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "CALL 0x1FF", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "CALL 0x200", .Words = {0x0900}},
      {.Core = "CORE12", .Line = "CALL 0x2FF", .Words = {0x09FF}},
      {.Core = "CORE12", .Line = "CALL 0x300", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "CALL 0x6FF", .Words = {0x09FF}},
      {.Core = "CORE12", .Line = "CALL 0x700", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "CALL 0x7FF", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "CALL 0x800", .Error = kRange, .Position = 11},
      {.Core = "CORE12", .Line = "CALL -1", .Error = kRange, .Position = 8},
      // CORE16: two words.
      {.Core = "CORE16", .Line = "CALL 0x12345", .Words = {0xEC45, 0xF123}},
      {.Core = "CORE16", .Line = "CALL 0x12345,S", .Words = {0xED45, 0xF123}},
      {.Core = "CORE16", .Line = "CALL 0x12345 , s", .Words = {0xED45, 0xF123}},
      {.Core = "CORE16", .Line = "CALL 0xFFFFF", .Words = {0xECFF, 0xFFFF}},
      {.Core = "CORE16", .Line = "CALL 0x100000", .Error = kRange, .Position = 14},
      {.Core = "CORE16", .Line = "CALL -1", .Error = kRange, .Position = 8},
      {.Core = "CORE16", .Line = "CALL 0x12,X", .Error = kAccess, .Position = 12},
      {.Core = "CORE16", .Line = "GOTO 0x100", .Words = {0xEF00, 0xF001}},
      {.Core = "CORE16", .Line = "GOTO 0xFFFFF", .Words = {0xEFFF, 0xFFFF}},
      {.Core = "CORE16", .Line = "GOTO 0x100000", .Error = kRange, .Position = 14},
      {.Core = "CORE16", .Line = "GOTO $", .Words = {0xEF10, 0xF000}, .Definitions = "ORG 0x10"},
      {.Core = "CORE16", .Line = "GOTO 0x100,S", .Words = {0xEF00, 0xF001}},  // GOTO has no ,S: not examined
  });
}

// Two-word CALL and GOTO advance the CODE counter by 2 in both passes: the
// label behind them keeps its pass-1 address.
TEST(Operands, TwoWordInstructionsAdvanceTheCounterByTwo) {
  TRun run =
      RunProgram({{"main.pic", "CORE16\nCALL NEXT\nNEXT: GOTO AFTER\nAFTER: LFSR 0,1\nLAST: MOVLB 1\nEND_: NOP\n"}});
  ASSERT_EQ(run.Result.Outcome, driver::TRunOutcome::Success) << run.Result.ErrorMessage;
  std::map<std::uint32_t, std::uint16_t> words = HexWords(run.Hex);
  std::map<std::uint32_t, std::uint16_t> expected = {
      {0, 0xEC02}, {1, 0xF000},  // CALL 2
      {2, 0xEF04}, {3, 0xF000},  // GOTO 4
      {4, 0xEE00}, {5, 0xF001},  // LFSR 0,1
      {6, 0x0101},               // MOVLB 1: one word
      {7, 0x0000},
  };
  EXPECT_EQ(words, expected);
}

TEST(Operands, ReturnForm) {
  ExpectLines({
      {.Core = "CORE16", .Line = "RETURN", .Words = {0x0012}},
      {.Core = "CORE16", .Line = "RETURN ,S", .Words = {0x0013}},
      {.Core = "CORE16", .Line = "RETURN,s", .Words = {0x0013}},
      {.Core = "CORE16", .Line = "RETURN , S", .Words = {0x0013}},
      {.Core = "CORE16", .Line = "RETFIE ,S", .Words = {0x0011}},
      {.Core = "CORE16", .Line = "RETFIE", .Words = {0x0010}},
      {.Core = "CORE16", .Line = "RETURN ; back", .Words = {0x0012}},
      {.Core = "CORE16", .Line = "RETURN xyz", .Words = {0x0012}},  // without a comma nothing is examined
      {.Core = "CORE16", .Line = "RETURN ,X", .Error = kOperandExpected, .Position = 9},
      {.Core = "CORE16", .Line = "RETURN ,", .Error = kOperandExpected, .Position = 9},
      {.Core = "CORE14", .Line = "RETURN ; back", .Words = {0x0008}},
      {.Core = "CORE14", .Line = "RETURN", .Words = {0x0008}},
      {.Core = "CORE14ENH", .Line = "RETFIE", .Words = {0x0009}},
      {.Core = "CORE14", .Line = "RETURN 1", .Error = kOperandNotExpected, .Position = 9},
      {.Core = "CORE14", .Line = "RETFIE ,S", .Error = kOperandNotExpected, .Position = 9},
  });
}

TEST(Operands, BranchesWithoutEncoder) {
  for (const char* name : {"BC", "BN", "BNC", "BNN", "BNOV", "BNZ", "BOV", "BZ", "RCALL"}) {
    ExpectLine({.Core = "CORE16", .Line = (std::string(name) + " label").c_str(), .Error = kNoEncoder});
    ExpectLine({.Core = "CORE14",
                .Line = name,
                .Error = kWrongCore,
                .Position = static_cast<int>(std::string(name).size()) + 1});
  }
}

// Enhanced-core and 16-bit-core special operands.
TEST(Operands, IndirectMove) {
  ExpectLines({
      {.Core = "CORE14ENH", .Line = "MOVIW ++FSR0", .Words = {0x0010}},
      {.Core = "CORE14ENH", .Line = "MOVIW --FSR0", .Words = {0x0011}},
      {.Core = "CORE14ENH", .Line = "MOVIW FSR0++", .Words = {0x0012}},
      {.Core = "CORE14ENH", .Line = "MOVIW FSR0--", .Words = {0x0013}},
      {.Core = "CORE14ENH", .Line = "MOVIW ++FSR1", .Words = {0x0014}},
      {.Core = "CORE14ENH", .Line = "MOVIW --FSR1", .Words = {0x0015}},
      {.Core = "CORE14ENH", .Line = "MOVIW FSR1++", .Words = {0x0016}},
      {.Core = "CORE14ENH", .Line = "MOVIW FSR1--", .Words = {0x0017}},
      {.Core = "CORE14ENH", .Line = "MOVWI ++FSR0", .Words = {0x0018}},
      {.Core = "CORE14ENH", .Line = "MOVWI --FSR1", .Words = {0x001D}},
      {.Core = "CORE14ENH", .Line = "movwi fsr0++", .Words = {0x001A}},
      {.Core = "CORE14ENH", .Line = "MOVWI FSR1--", .Words = {0x001F}},
      {.Core = "CORE14", .Line = "MOVIW FSR1--", .Words = {0x0017}},
      {.Core = "CORE14ENH", .Line = "MOVIW 5[FSR1]", .Words = {0x3F45}},
      {.Core = "CORE14ENH", .Line = "MOVIW -1[FSR0]", .Words = {0x3F3F}},
      {.Core = "CORE14ENH", .Line = "MOVWI 31[FSR0]", .Words = {0x3F9F}},
      {.Core = "CORE14ENH", .Line = "MOVIW -32[FSR1]", .Words = {0x3F60}},
      {.Core = "CORE14ENH", .Line = "MOVWI 0[fsr1]", .Words = {0x3FC0}},
      {.Core = "CORE14ENH", .Line = "MOVIW 2+3 [ FSR1 ]", .Words = {0x3F45}},
      {.Core = "CORE14ENH", .Line = "MOVIW 0[FSR0] ; comment", .Words = {0x3F00}},
      {.Core = "CORE14ENH", .Line = "MOVIW ++FSR0 ; load", .Words = {0x0010}},
      {.Core = "CORE14ENH", .Line = "MOVIW 32[FSR0]", .Error = kOffsetRange, .Position = 9},
      {.Core = "CORE14ENH", .Line = "MOVIW -33[FSR0]", .Error = kOffsetRange, .Position = 10},
      {.Core = "CORE14ENH", .Line = "MOVIW 0[FSR2]", .Error = kFsrSyntax, .Position = 13},
      {.Core = "CORE14ENH", .Line = "MOVIW 0[FSR0", .Error = kFsrSyntax, .Position = 14},  // two past the line
      {.Core = "CORE14ENH", .Line = "MOVIW 10 + 1", .Error = kFsrSyntax, .Position = 13},
      {.Core = "CORE14ENH", .Line = "MOVIW 0", .Error = kIdentifierExpected, .Position = 7},
      {.Core = "CORE14ENH", .Line = "MOVIW ++FSR0 x", .Error = kOperandNotExpected, .Position = 15},
      {.Core = "CORE14ENH", .Line = "MOVIW 5[FSR0] x", .Error = kOperandNotExpected, .Position = 16},
      {.Core = "CORE14ENH", .Line = "MOVIW FSR0", .Error = kIdentifierExpected, .Position = 7},
      {.Core = "CORE14ENH", .Line = "MOVIW", .Error = kIdentifierExpected, .Position = 6},
      // The offset is required: the evaluation fails on "[".
      {.Core = "CORE14ENH", .Line = "MOVIW [FSR0]", .Error = "Bezeichner \"[\" ist nicht bekannt", .Position = 8},
  });
}

TEST(Operands, FsrOffsetBankAndPage) {
  ExpectLines({
      {.Core = "CORE14ENH", .Line = "ADDFSR1 -32", .Words = {0x3160}},
      {.Core = "CORE14ENH", .Line = "ADDFSR0 31", .Words = {0x311F}},
      {.Core = "CORE14ENH", .Line = "ADDFSR0 -1", .Words = {0x313F}},
      {.Core = "CORE14ENH", .Line = "ADDFSR0 32", .Error = kOffsetRange, .Position = 11},
      {.Core = "CORE14ENH", .Line = "ADDFSR1 -33", .Error = kOffsetRange, .Position = 12},
      {.Core = "CORE14ENH", .Line = "MOVLB 15", .Words = {0x002F}},
      {.Core = "CORE14", .Line = "MOVLB 15", .Words = {0x002F}},
      {.Core = "CORE16", .Line = "MOVLB 15", .Words = {0x010F}},
      {.Core = "CORE14ENH", .Line = "MOVLB 16", .Error = kRange, .Position = 9},
      {.Core = "CORE16", .Line = "MOVLB 16", .Error = kRange, .Position = 9},
      {.Core = "CORE16", .Line = "MOVLB -1", .Error = kRange, .Position = 9},
      {.Core = "CORE14ENH", .Line = "MOVLP 0x7F", .Words = {0x31FF}},
      {.Core = "CORE14ENH", .Line = "MOVLP 0x80", .Error = kRange, .Position = 11},
      {.Core = "CORE14ENH", .Line = "MOVLP -1", .Error = kRange, .Position = 9},
  });
}

TEST(Operands, Lfsr) {
  ExpectLines({
      {.Core = "CORE16", .Line = "LFSR 1,0x123", .Words = {0xEE11, 0xF023}},
      {.Core = "CORE16", .Line = "LFSR 2,0xFFF", .Words = {0xEE2F, 0xF0FF}},
      {.Core = "CORE16", .Line = "LFSR 0,0", .Words = {0xEE00, 0xF000}},
      {.Core = "CORE16", .Line = "LFSR 1 , 0x280", .Words = {0xEE12, 0xF080}},
      // f is checked before the comma is looked for.
      {.Core = "CORE16", .Line = "LFSR 3,0", .Error = kRange, .Position = 7},
      {.Core = "CORE16", .Line = "LFSR 3", .Error = kRange, .Position = 7},
      {.Core = "CORE16", .Line = "LFSR -1,0", .Error = kRange, .Position = 8},
      {.Core = "CORE16", .Line = "LFSR 1", .Error = kLfsrSyntax, .Position = 7},
      {.Core = "CORE16", .Line = "LFSR 1;0x12", .Error = kLfsrSyntax, .Position = 7},
      {.Core = "CORE16", .Line = "LFSR 1,0x1000", .Error = kRange, .Position = 14},
      {.Core = "CORE16", .Line = "LFSR 1,-1", .Error = kRange, .Position = 10},
      {.Core = "CORE16", .Line = "LFSR 1,X", .Error = "Bezeichner \"X\" ist nicht bekannt", .Position = 9},
      {.Core = "CORE16", .Line = "LFSR X,1", .Error = "Bezeichner \"X\" ist nicht bekannt", .Position = 7},
  });
}

// MOVFF counts two words in pass 1 and stops pass 2.
TEST(Operands, MovffIsUnderConstruction) {
  TRun run = RunProgram({{"main.pic", "CORE16\nNOP\nMOVFF a,b\nAFTER: NOP\n"}});
  EXPECT_EQ(run.Result.Outcome, driver::TRunOutcome::AssemblyError);
  EXPECT_TRUE(run.Result.FailedInPass2);
  EXPECT_EQ(run.Result.ErrorMessage, Cp1252(kUnderConstruction));
  EXPECT_EQ(run.Result.ErrorLine, 3);
  ASSERT_EQ(symbols::SymbolCount(), 1u);
  EXPECT_EQ(symbols::SymbolNewestFirst(0).Name, "AFTER");
  EXPECT_EQ(symbols::SymbolNewestFirst(0).Value, 3);  // 1 + 2 words
}

}  // namespace
}  // namespace veltas::testing
