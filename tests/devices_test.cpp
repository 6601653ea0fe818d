// The definition files: the converter's rules on small headers in the chip
// maker's format (expected definitions worked out from the rules by hand), bad
// input, the lookup, the same words as gpasm, examples/blink.pic in gpsim.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "devices/convert.h"
#include "tests/support/process.h"
#include "tests/support/run.h"

namespace veltas::testing {
namespace {

using devices::TConversion;
using devices::TOutcome;
namespace fs = std::filesystem;

// A definition file as "NAME: KIND OPERAND | ...", blanks collapsed, comments
// dropped, with "-NAME" where an "; ausgelassen:" comment gives a name.
std::string Parse(const TConversion& c) {
  EXPECT_EQ(c.Outcome, TOutcome::Converted) << c.Message;
  std::string p;
  std::istringstream in(c.Text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("; ausgelassen: ", 0) == 0) line = "-" + line.substr(15, line.find(' ', 15) - 15);
    std::istringstream words(line.substr(0, line.find(';')));
    for (std::string word, gap = p.empty() ? "" : " | "; words >> word; gap = " ") p += gap + word;
  }
  return p;
}

TConversion Header(const std::string& text, const std::optional<std::string>& linker =
                                                "ACCESSBANK NAME=accessram START=0x0 END=0x5F\n"
                                                "ACCESSBANK NAME=accesssfr START=0xF60 END=0xFFF PROTECTED\n") {
  return devices::Convert("p.inc", text, "p_g.lkr", linker);
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(DeviceConversion, MidRangeRegistersBitsConfiguration) {
  TConversion c = Header(
      ";  (c) Copyright Chip Maker\n        IFNDEF __16T84\n  MESSG \"mismatch\"\n        ENDIF\n"
      "W                EQU  H'0000'\n;----- Register Files ---------\n"
      "STATUS EQU H'0003'\nPORTB EQU H'0006'\nINTCON EQU H'000B'\nINTCON1 EQU H'000B'\n"
      "TRISB EQU H'0086'\nEECON1 EQU H'018C'\n"
      ";----- STATUS Bits -----\nRP0 EQU H'0005'\n;----- PORTB Bits -----\nRB0 EQU H'0000'\n"
      ";----- TRISB Bits -----\nRB0 EQU H'0000'\n;----- INTCON Bits -----\nGIE EQU H'0007'\n"
      ";----- INTCON1 Bits -----\nGIE EQU H'0007'\n;----- OPTION_REG Bits -----\nPSA EQU H'0003'\nLOW EQU 4\n"
      ";==========\n       __MAXRAM  H'01FF'\n_CONFIG          EQU  H'2007'\n"
      ";----- CONFIG Options -----\n_XT_OSC EQU H'3FFD' ; XT\n_XT_OSC EQU H'3FFD'\n"
      "  #define DDRB  TRISB\n  #define DDRC  TRISC\n");
  EXPECT_EQ(
      Parse(c),
      "CORE14 | __16T84: EQU 1 | -W | STATUS: EQU 0x03 | PORTB: EQU 0x06 | INTCON: EQU 0x0B | "
      "INTCON1: EQU 0x0B | TRISB: EQU 0x06 | EECON1: EQU 0x0C | RP0: BIT STATUS,5 | -RB0 | PORTB_RB0: BIT PORTB,0 | "
      "TRISB_RB0: BIT TRISB,0 | GIE: BIT INTCON,7 | PSA: EQU 3 | -LOW | _CONFIG: EQU 0x2007 | "
      "_XT_OSC: EQU 0x3FFD | -_XT_OSC | DDRB: EQU 0x06 | -#define");
  EXPECT_TRUE(Has(c.Text, "ausgelassen: RB0 (Zeile 16): Bit mehrerer Register, nur qualifiziert: PORTB_RB0 TRISB_RB0"));
  EXPECT_TRUE(Has(c.Text, "Chip Maker"));
  EXPECT_TRUE(Has(c.Text, "\nTRISB:            EQU     0x06            ; Adresse 086h, Bank 1\n"));
  EXPECT_EQ(c.LeftOut, (std::array<int, devices::ReasonCount>{1, 1, 1, 1, 0, 1, 0}));
}

// The access bank comes from the linker script: F60h here, F80h on older parts.
// Configuration bytes, their options and the ID locations are what CONFIG
// writes; the read-only device ID is left out.
TEST(DeviceConversion, Pic18AccessBankFromLinkerScript) {
  std::string header =
      "        IFNDEF __18T45\n        ENDIF\nFSR0 EQU 0\nACCESS EQU 0\n;----- Register Files -----\n"
      "ANSELA EQU H'0F38'\nSLRCON EQU H'0F60'\nPORTB EQU H'0F81'\n;----- ANSELA Bits -----\nANSA0 EQU H'0000'\n"
      ";----- SLRCON Bits -----\nSLRA EQU H'0000'\n;----- PORTB Bits -----\nRB0 EQU H'0000'\n;==========\n"
      "_CONFIG1H EQU H'300001'\n;----- CONFIG1H Options -----\n_XT_OSC_1H EQU H'F9'\n"
      ";----- IDLOC Equates -----\n_IDLOC7 EQU H'200007'\n;==========\n_DEVID1 EQU H'3FFFFE'\n";
  TConversion c = Header(header);
  EXPECT_EQ(Parse(c),
            "CORE16 | __18T45: EQU 1 | FSR0: EQU 0x00 | -ACCESS | ANSELA: EQU 0x38 | SLRCON: EQU 0x60 | "
            "PORTB: EQU 0x81 | ANSA0: EQU 0 | SLRA: BIT SLRCON,0 | RB0: BIT PORTB,0 | _CONFIG1H: EQU 0x300001 | "
            "_XT_OSC_1H: EQU 0xF9 | _IDLOC7: EQU 0x200007 | -_DEVID1");
  EXPECT_TRUE(Has(c.Text, "; Adresse F38h, Bank 15: nur mit MOVLB 15 und ,A (a = 1)"));
  EXPECT_TRUE(Has(Parse(Header(header, "ACCESSBANK NAME=accesssfr START=0xF80 END=0xFFF\n")), "| SLRA: EQU 0 |"));
}

// A PIC18 header without a configuration address (a J part): the words of the
// linker script's config CODEPAGE (bytes) as word addresses.
TEST(DeviceConversion, Pic18JConfigurationWordsFromLinkerScript) {
  std::string header = "  IFNDEF __18T46J\n  ENDIF\n;----- DEVID Equates -----\n_DEVID1 EQU H'3FFFFE'\n";
  std::string access = "ACCESSBANK NAME=accesssfr START=0xF60 END=0xFFF\n";
  TConversion c = Header(header, access + "CODEPAGE NAME=config START=0xFFF8 END=0xFFFF PROTECTED\n");
  EXPECT_EQ(Parse(c),
            "CORE16 | __18T46J: EQU 1 | _CONFIG1: EQU 0x7FFC | _CONFIG2: EQU 0x7FFD | _CONFIG3: EQU 0x7FFE | "
            "_CONFIG4: EQU 0x7FFF | -_DEVID1");
  EXPECT_TRUE(Has(c.Text, "EQU     0x7FFF          ; CONFIG4L/CONFIG4H, Byte FFFEh\n"));
  EXPECT_TRUE(Has(c.Text, "Optionsnamen\n; nennt der Header nicht: DATA nimmt das rohe Wort.\n"));
  EXPECT_EQ(Parse(Header(header, access + "CODEPAGE NAME=config START=0x1FFF8 END=0x1FFFD\n")),
            "CORE16 | __18T46J: EQU 1 | _CONFIG1: EQU 0xFFFC | _CONFIG2: EQU 0xFFFD | _CONFIG3: EQU 0xFFFE | -_DEVID1");
  TConversion odd = Header(header, access + "CODEPAGE NAME=config START=0xFFF9 END=0xFFFF\n");
  EXPECT_EQ(odd.Message, "Konfigurationsbereich nicht lesbar (erwartet START gerade, END ungerade, bis 1FFFFh)");
  EXPECT_EQ(odd.Line, 2);
}

// The core follows from the configuration address, or for a PIC18 from its
// name; files that are not one chip's header are skipped, saying why; bad input fails naming the line
// ("LINE: message") and leaves no text.
TEST(DeviceConversion, CoreSkipOrError) {
  const std::string k = "_CONFIG EQU H'2007'\n";
  const std::pair<std::string, std::string> cases[] = {
      {"_CONFIG EQU H'FFF'", "CORE12"},
      {"_CONFIG1 EQU H'8007'", "CORE14ENH"},
      {"  IFDEF __16C54\n  ENDIF\n_CONFIG EQU H'FFF'", "wählt mit IFDEF zwischen mehreren Chips"},
      {"  INCLUDE <p16f84.inc>", "bindet nur andere Dateien ein"},
      {"_CONFIG EQU H'FFF'\nSETUP macro\n  endm", "enthält Makros"},
      {"  IFNDEF __17C44\n  ENDIF\nPORTB EQU H'0006'", "kein PIC18 und nennt keine Konfigurationsadresse"},
      {"  IFNDEF __18F4J\n  ENDIF", "0: nennt den Konfigurationsbereich nicht (CODEPAGE NAME=config)"},
      {k + "\177ELF\2\1", "2: Binärdaten: keine Textdatei"},
      {k + "FOO SET 1 ; x", "2: Zeile nicht lesbar: \"FOO SET 1\""},
      {k + "FOO EQU 1 2", "2: Zeile nicht lesbar: \"FOO EQU 1 2\""},
      {k + "FOO EQU B'102'", "2: Wert nicht lesbar: B'102'"},
      {k + "BIG EQU H'80000000'", "2: Wert außerhalb des Bereiches: H'80000000'"},
      {k + ";----- Register Files -----\nR EQU H'1000'", "3: Registeradresse außerhalb des Datenspeichers: H'1000'"},
      {k + ";----- R Bits -----\nB EQU 8", "3: Bitnummer außerhalb von 0 bis 7: 8"},
      {k + ";----- CONFIG Options -----\n_X EQU H'10000'", "3: Konfigurationswert außerhalb von 16 Bit: 10000h"},
      {"_CONFIG1L EQU H'300000'\n;----- CONFIG1L Options -----\n_X EQU H'100'",
       "3: Konfigurationswert außerhalb von 8 Bit: 100h"},
  };
  for (const auto& [text, expected] : cases) {
    TConversion c = Header(text + "\n");
    std::string failure = std::to_string(c.Line) + ": " + c.Message;
    EXPECT_EQ(c.Outcome == TOutcome::Failed ? failure : c.Outcome == TOutcome::Skipped ? c.Message : c.Core, expected);
    EXPECT_EQ(c.Text.empty(), c.Outcome != TOutcome::Converted) << text;
  }
  TConversion enhanced = Header("  IFNDEF __16F527\n  ENDIF\n_CONFIG EQU H'FFF'\n");
  EXPECT_TRUE(Has(enhanced.Text, "; Erweiterter Baseline-Kern: der Assembler \374bersetzt ihn")) << "ü in cp1252";
  TConversion noLinker = Header("_CONFIG1L EQU H'300000'\n", std::nullopt);
  EXPECT_EQ(noLinker.Message, "PIC18: das Linkerskript p_g.lkr fehlt (es nennt die Access-Bank)");
  TConversion badLinker = Header("_CONFIG1L EQU H'300000'\n", "ACCESSBANK NAME=accesssfr START=0xE00 END=0xFFF\n");
  EXPECT_TRUE(badLinker.InLinkerScript);
  EXPECT_EQ(badLinker.Line, 1);
}

TProcessResult Cli(const TScratchDir& dir, const std::vector<std::string>& args) {
  return RunProcess(VELTAS_CLI, args, dir.Path());
}

// Errors name file and line, the other files are still converted, nothing
// half-written stays, even where the name is taken; a bad option is named.
TEST(DeviceHeaderProgram, BadInputLeavesNoOutput) {
  TScratchDir dir;
  dir.Write("bad.inc", "FOO BAR\n_CONFIG EQU H'2007'\n");
  dir.Write("good.inc", "_CONFIG EQU H'2007'\n");
  dir.Write("multi.inc", "  IFDEF __16C54\n  ENDIF\n");
  TProcessResult r = RunProcess(VELTAS_HEADER, {"-dout", "bad.inc", "none.inc", "good.inc", "multi.inc"}, dir.Path());
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err,
            "bad.inc:1: Fehler: Zeile nicht lesbar: \"FOO BAR\"\n"
            "none.inc: Fehler: kann die Datei nicht lesen (No such file or directory)\n");
  EXPECT_EQ(r.Out,
            "übersprungen: multi.inc (wählt mit IFDEF zwischen mehreren Chips)\n"
            "veltas-header: 1 umgewandelt (CORE12 0, CORE14 1, CORE14ENH 0, CORE16 0), 1 übersprungen, 2 fehlerhaft\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 1);
  fs::create_directory(dir / "taken");
  r = RunProcess(VELTAS_HEADER, {"-o", "taken", "good.inc"}, dir.Path());
  EXPECT_EQ(r.Err.rfind("taken: Fehler: kann die Datei nicht schreiben (", 0), 0u) << r.Err;
  EXPECT_FALSE(dir.Exists("taken.tmp"));
  EXPECT_EQ(RunProcess(VELTAS_HEADER, {"-o"}, dir.Path()).Err,
            "veltas-header: Option \"-o\" braucht einen Namen\n\"veltas-header --help\" zeigt alle Optionen.\n");
}

// The source's directory first, then -I in order (a name with "-L" in it is
// a directory, not the listing switch), then the definition files, letter
// case ignored. A definition file's lines are not listed, the INCLUDE line
// is; the symbol list has its names, --deps the file.
TEST(DeviceLookup, SourceDirectoryThenIncludeDirectoriesThenDevices) {
  TScratchDir dir;
  dir.Write("main.pic", "        include p16f877a.inc\n        CLRF    TRISB\n");
  // The word of CLRF TRISB; each run's differs from the one before.
  auto word = [&](const std::vector<std::string>& args) {
    Cli(dir, args);
    return HexWords(dir.Read("main.HEX")).at(0);
  };
  EXPECT_EQ(word({"-L", "--deps", "main.d", "main.pic"}), 0x0186);
  std::string prn = dir.Read("main.PRN");
  EXPECT_TRUE(Has(prn, "include p16f877a.inc\r\nCODE 0000    00 0001 1000 0110       2          CLRF")) << prn;
  for (std::string symbol : {"__16F877A += EQU  0001H", "TRISB += EQU  0006H", "RP0 += BIT  0003H\\.5"})
    EXPECT_TRUE(std::regex_search(prn, std::regex("\r\n" + symbol + "\r\n"))) << symbol;
  EXPECT_TRUE(Has(dir.Read("main.d"), "/devices/P16F877A.INC\n")) << dir.Read("main.d");
  dir.Write("my-Lib/P16F877A.INC", "TRISB: EQU 5\n");
  dir.Write("other/P16F877A.INC", "TRISB: EQU 4\n");
  EXPECT_EQ(word({"-I", "my-Lib", "-Iother", "main.pic"}), 0x0185);
  EXPECT_EQ(word({"-Iother", "-I", "my-Lib", "main.pic"}), 0x0184);
  EXPECT_TRUE(Has(dir.Read("main.PRN"), "+     1  TRISB: EQU 4"));
  EXPECT_FALSE(Has(dir.Read("main.PRN"), "Symbol-Liste"));
  dir.Write("P16F877A.INC", "TRISB: EQU 3\n");
  EXPECT_EQ(word({"-I", "my-Lib", "main.pic"}), 0x0183);
  EXPECT_EQ(Cli(dir, {"main.pic", "-I"}).ExitStatus, 2);
}

// One chip per core: a program of its register, bit and configuration names,
// tests/devices/CHIP.pic, assembles without error and gives the bytes gpasm
// gives for CHIP.asm with the chip maker's header. gpasm also writes the
// PIC18 configuration bytes a program leaves out, at their erased values.
TEST(DeviceFiles, SameBytesAsGpasmWithTheChipMakersHeader) {
  for (std::string chip : {"p10f200", "p16f877a", "p16f1829", "p18f45k22", "p18f46j50", "p18f452"}) {
    TScratchDir dir;
    for (std::string file : {chip + ".pic", chip + ".asm"})
      fs::copy(fs::path(VELTAS_SOURCE_DIR) / "tests" / "devices" / file, dir / file);
    EXPECT_TRUE(Has(Cli(dir, {chip + ".pic"}).Out, "Keine Fehler gefunden.")) << chip;
    ASSERT_EQ(RunProcess("gpasm", {"-o", "gpasm.hex", chip + ".asm"}, dir.Path()).ExitStatus, 0) << chip;
    auto ours = HexBytes(dir.Read(chip + ".HEX")), theirs = HexBytes(dir.Read("gpasm.hex"));
    std::erase_if(theirs, [&](const auto& b) { return b.first >= 0x300000 && !ours.count(b.first); });
    EXPECT_EQ(ours, theirs) << chip;
  }
}

// RB0 goes high at cycle 4 (after four set-up words) and toggles after each
// delay: CALL 2 + delay 250,003 (2 + 250 x 1000 - 1 + RETURN 2) + BCF or
// BSF 1 cycles, and GOTO 2 more before BSF: at cycles 250,010, 500,018,
// 750,024. The pin is sampled 5 cycles before and after each toggle.
TEST(DeviceFiles, BlinkExampleTogglesItsPinInGpsim) {
  TScratchDir dir;
  fs::copy(fs::path(VELTAS_SOURCE_DIR) / "examples" / "blink.pic", dir / "blink.pic");
  ASSERT_EQ(Cli(dir, {"blink.pic"}).ExitStatus, 0);
  std::string script, levels;
  for (int cycle : {125000, 250005, 250015, 500013, 500023, 750019, 750029})
    script += "break c " + std::to_string(cycle) + "\nrun\np16f877a.portb0\n";
  dir.Write("blink.stc", script + "quit\n");
  TProcessResult r = RunProcess("gpsim", {"-i", "-p", "p16f877a", "-c", "blink.stc", "blink.HEX"}, dir.Path());
  for (std::size_t at = r.Out.find("Driving=OUT"); at != std::string::npos; at = r.Out.find("Driving=OUT", at + 1))
    levels += r.Out.substr(r.Out.find("drivingState=", at) + 13, 1);
  EXPECT_EQ(levels, "1100110") << r.Out;
}

}  // namespace
}  // namespace veltas::testing
