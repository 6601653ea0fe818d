// The header converter on small headers in the chip maker's format, written
// for the rules of the definition files; the expected definitions are worked
// out from those rules by hand.
#include <gtest/gtest.h>

#include <sstream>

#include "devices/convert.h"

namespace veltas::testing {
namespace {

using namespace std::string_literals;
using devices::Convert;
using devices::TConversion;
using devices::TOutcome;

// A definition file as "NAME: KIND OPERAND" lines (blanks collapsed, comments
// dropped), and the names its "; ausgelassen:" comments give.
struct TParsed {
  std::vector<std::string> Definitions, LeftOut;
};

TParsed Parse(const TConversion& c) {
  EXPECT_EQ(c.Outcome, TOutcome::Converted) << c.Message;
  TParsed p;
  std::istringstream in(c.Text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("; ausgelassen: ", 0) == 0) p.LeftOut.push_back(line.substr(15, line.find(' ', 15) - 15));
    std::istringstream words(line.substr(0, line.find(';')));
    std::string word, definition;
    while (words >> word) definition += (definition.empty() ? "" : " ") + word;
    if (!definition.empty()) p.Definitions.push_back(definition);
  }
  return p;
}

const std::string kLinkerF60 =
    "ACCESSBANK NAME=accessram  START=0x0    END=0x5F\n"
    "ACCESSBANK NAME=accesssfr  START=0xF60  END=0xFFF  PROTECTED\n";

TConversion Header(const std::string& text, const std::optional<std::string>& linker = kLinkerF60) {
  return Convert("p.inc", text, "p_g.lkr", linker);
}

TEST(DeviceConversion, MidRangeRegistersBitsConfiguration) {
  TConversion c = Header(
      ";  (c) Copyright Chip Maker\n"
      "        IFNDEF __16T84\n  MESSG \"mismatch\"\n        ENDIF\n"
      "W                EQU  H'0000'\n"
      ";----- Register Files ---------\n"
      "STATUS EQU H'0003'\nPORTB EQU H'0006'\nINTCON EQU H'000B'\nINTCON1 EQU H'000B'\n"
      "TRISB EQU H'0086'\nEECON1 EQU H'018C'\n"
      ";----- STATUS Bits -----\nRP0 EQU H'0005'\n"
      ";----- PORTB Bits -----\nRB0 EQU H'0000'\n"
      ";----- TRISB Bits -----\nRB0 EQU H'0000'\n"
      ";----- INTCON Bits -----\nGIE EQU H'0007'\n"
      ";----- INTCON1 Bits -----\nGIE EQU H'0007'\n"
      ";----- OPTION_REG Bits -----\nPSA EQU H'0003'\nLOW EQU 4\n"
      ";==========\n       __MAXRAM  H'01FF'\n"
      "_CONFIG          EQU  H'2007'\n"
      ";----- CONFIG Options -----\n_XT_OSC EQU H'3FFD' ; XT\n_XT_OSC EQU H'3FFD'\n"
      "  #define DDRB  TRISB\n  #define DDRC  TRISC\n");
  TParsed p = Parse(c);
  EXPECT_EQ(p.Definitions, (std::vector<std::string>{"CORE14", "__16T84: EQU 1", "STATUS: EQU 0x03", "PORTB: EQU 0x06",
                                                     "INTCON: EQU 0x0B", "INTCON1: EQU 0x0B", "TRISB: EQU 0x06",
                                                     "EECON1: EQU 0x0C", "RP0: BIT STATUS,5", "PORTB_RB0: BIT PORTB,0",
                                                     "TRISB_RB0: BIT TRISB,0", "GIE: BIT INTCON,7", "PSA: EQU 3",
                                                     "_CONFIG: EQU 0x2007", "_XT_OSC: EQU 0x3FFD", "DDRB: EQU 0x06"}));
  EXPECT_EQ(p.LeftOut, (std::vector<std::string>{"W", "RB0", "LOW", "_XT_OSC", "#define"}));
  EXPECT_NE(c.Text.find("Chip Maker"), std::string::npos);
  EXPECT_NE(c.Text.find("TRISB:            EQU     0x06            ; Adresse 086h, Bank 1"), std::string::npos);
  EXPECT_EQ(c.LeftOut, (std::array<int, devices::ReasonCount>{1, 1, 1, 1, 0, 1, 0}));
}

// The access bank comes from the linker script: F60h here, F80h on older parts.
TEST(DeviceConversion, Pic18AccessBankFromLinkerScript) {
  std::string header =
      "        IFNDEF __18T45\n        ENDIF\nFSR0 EQU 0\nACCESS EQU 0\n"
      ";----- Register Files -----\nANSELA EQU H'0F38'\nSLRCON EQU H'0F60'\nPORTB EQU H'0F81'\n"
      ";----- ANSELA Bits -----\nANSA0 EQU H'0000'\n"
      ";----- SLRCON Bits -----\nSLRA EQU H'0000'\n"
      ";----- PORTB Bits -----\nRB0 EQU H'0000'\n"
      ";==========\n_CONFIG1H EQU H'300001'\n;----- CONFIG1H Options -----\n_XT_OSC_1H EQU H'F9'\n"
      ";----- IDLOC Equates -----\n_IDLOC0 EQU H'200000'\n";
  TConversion c = Header(header);
  EXPECT_EQ(Parse(c).Definitions, (std::vector<std::string>{"CORE16", "__18T45: EQU 1", "FSR0: EQU 0x00",
                                                            "ANSELA: EQU 0x38", "SLRCON: EQU 0x60", "PORTB: EQU 0x81",
                                                            "ANSA0: EQU 0", "SLRA: BIT SLRCON,0", "RB0: BIT PORTB,0"}));
  EXPECT_EQ(Parse(c).LeftOut, (std::vector<std::string>{"ACCESS", "_CONFIG1H", "_XT_OSC_1H", "_IDLOC0"}));
  EXPECT_NE(c.Text.find("; Adresse F38h, Bank 15: nur mit MOVLB 15 und ,A (a = 1)"), std::string::npos);
  std::vector<std::string> f80 = Parse(Header(header, "ACCESSBANK NAME=accesssfr START=0xF80 END=0xFFF\n")).Definitions;
  EXPECT_EQ(f80[7], "SLRA: EQU 0");
}

// The core follows from the configuration address; files that are not one
// chip's header are skipped, saying why.
TEST(DeviceConversion, CoreOrSkipFollowsFromTheFile) {
  const std::pair<std::string, std::string> cases[] = {
      {"_CONFIG EQU H'FFF'", "CORE12"},
      {"_CONFIG EQU H'2007'", "CORE14"},
      {"_CONFIG1 EQU H'8007'", "CORE14ENH"},
      {"_CONFIG1L EQU H'300000'", "CORE16"},
      {"  IFDEF __16C54\n  ENDIF\n_CONFIG EQU H'FFF'", "wählt mit IFDEF zwischen mehreren Chips"},
      {"  INCLUDE <p16f84.inc>", "bindet nur andere Dateien ein"},
      {"_CONFIG EQU H'FFF'\nSETUP macro\n  endm", "enthält Makros"},
      {";----- Register Files -----\nPORTB EQU H'0006'", "nennt keine Konfigurationsadresse"},
  };
  for (const auto& [text, expected] : cases) {
    TConversion c = Header(text + "\n");
    EXPECT_EQ(c.Outcome == TOutcome::Skipped ? c.Message : c.Core, expected) << text;
  }
  TConversion enhanced = Header("  IFNDEF __16F527\n  ENDIF\n_CONFIG EQU H'FFF'\n");
  EXPECT_EQ(enhanced.Core, "CORE12");
  EXPECT_NE(enhanced.Text.find("Erweiterter Baseline-Kern"), std::string::npos);
}

TEST(DeviceConversion, BadInputNamesTheLine) {
  struct TCase {
    std::string Text, Message;
    int Line;
  };
  const TCase cases[] = {
      {"_CONFIG EQU H'2007'\n\x7f"
       "ELF\x02\x01\0\0"s,
       "Binärdaten: keine Textdatei", 2},
      {"_CONFIG EQU H'2007'\nFOO SET 1 ; x\n", "Zeile nicht lesbar: \"FOO SET 1\"", 2},
      {"_CONFIG EQU H'2007'\nFOO EQU 1 2\n", "Zeile nicht lesbar: \"FOO EQU 1 2\"", 2},
      {"_CONFIG EQU H'2007'\nBIG EQU H'80000000'\n", "Wert außerhalb des Bereiches: H'80000000'", 2},
      {";----- Register Files -----\nR EQU H'1000'\n_CONFIG EQU H'2007'\n",
       "Registeradresse außerhalb des Datenspeichers: H'1000'", 2},
      {"_CONFIG EQU H'2007'\n;----- R Bits -----\nB EQU 8\n", "Bitnummer außerhalb von 0 bis 7: 8", 3},
      {"_CONFIG EQU H'2007'\n;----- CONFIG Options -----\n_X EQU H'10000'\n",
       "Konfigurationswert außerhalb von 16 Bit: 10000h", 3},
  };
  for (const TCase& t : cases) {
    TConversion c = Header(t.Text);
    EXPECT_EQ(c.Outcome, TOutcome::Failed) << t.Text;
    EXPECT_EQ(c.Message, t.Message);
    EXPECT_EQ(c.Line, t.Line) << t.Message;
    EXPECT_TRUE(c.Text.empty());
  }
  TConversion noLinker = Header("_CONFIG1L EQU H'300000'\n", std::nullopt);
  EXPECT_EQ(noLinker.Message, "PIC18: das Linkerskript p_g.lkr fehlt (es nennt die Access-Bank)");
  TConversion badLinker = Header("_CONFIG1L EQU H'300000'\n", "ACCESSBANK NAME=accesssfr START=0xE00 END=0xFFF\n");
  EXPECT_TRUE(badLinker.InLinkerScript);
  EXPECT_EQ(badLinker.Line, 1);
}

}  // namespace
}  // namespace veltas::testing
