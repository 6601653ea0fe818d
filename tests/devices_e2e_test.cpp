// The definition files end to end: veltas-header on bad input, veltas-cli
// finding the files of the build tree, the same program words as gpasm with
// the chip maker's headers, and examples/blink.pic blinking in gpsim.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "tests/support/run.h"
#include "tests/support/process.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

TProcessResult Cli(const TScratchDir& dir, const std::vector<std::string>& args) {
  return RunProcess(VELTAS_CLI, args, dir.Path());
}

TEST(DeviceHeaderProgram, BadInputLeavesNoOutput) {
  TScratchDir dir;
  dir.Write("bad.inc", "_CONFIG EQU H'2007'\nFOO BAR\n");
  TProcessResult r = RunProcess(VELTAS_HEADER, {"-d", "out", "bad.inc", "none.inc"}, dir.Path());
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err,
            "bad.inc:2: Fehler: Zeile nicht lesbar: \"FOO BAR\"\n"
            "none.inc: Fehler: kann die Datei nicht lesen (No such file or directory)\n");
  EXPECT_TRUE(fs::is_empty(dir / "out"));
  // The finished file can't take its name: the temporary one goes too.
  dir.Write("good.inc", "_CONFIG EQU H'2007'\n");
  fs::create_directory(dir / "taken");
  r = RunProcess(VELTAS_HEADER, {"-o", "taken", "good.inc"}, dir.Path());
  EXPECT_EQ(r.ExitStatus, 1);
  EXPECT_EQ(r.Err.rfind("taken: Fehler: kann die Datei nicht schreiben (", 0), 0u) << r.Err;
  EXPECT_FALSE(dir.Exists("taken.tmp"));
}

// The lines of a definition file are not listed: the INCLUDE line comes
// right before the next line of the source. The symbol list has its names.
TEST(DeviceLookup, DefinitionFileFoundInAnyCaseAndNotListed) {
  TScratchDir dir;
  dir.Write("main.pic", "        include p16f877a.inc\n        CLRF    TRISB\n");
  TProcessResult r = Cli(dir, {"-L", "--deps", "main.d", "main.pic"});
  ASSERT_EQ(r.ExitStatus, 0) << r.Out << r.Err;
  EXPECT_EQ(HexWords(dir.Read("main.HEX")), (std::map<std::uint32_t, std::uint16_t>{{0, 0x0186}}));
  std::string prn = dir.Read("main.PRN");
  EXPECT_EQ(prn.substr(0, prn.find("RUZ-8 Assembler\r\nCode")),
            "\r\nRUZ-8 Assembler V2.13 (32bit)\r\n" + std::string(31, ' ') +
                "+     0          include p16f877a.inc\r\n"
                "CODE 0000    00 0001 1000 0110       2          CLRF    TRISB\r\n");
  for (std::string symbol : {"__16F877A += EQU  0001H", "TRISB += EQU  0006H", "RP0 += BIT  0003H\\.5"})
    EXPECT_TRUE(std::regex_search(prn, std::regex("\r\n" + symbol + "\r\n"))) << symbol;
  EXPECT_NE(dir.Read("main.d").find("/devices/P16F877A.INC\n"), std::string::npos) << dir.Read("main.d");
}

// The source's directory first, then -I in order (a name with "-L" in it is
// a directory, not the listing switch), then the definition files.
TEST(DeviceLookup, SourceDirectoryThenIncludeDirectoriesThenDevices) {
  TScratchDir dir;
  dir.Write("main.pic", "        INCLUDE P16F877A.INC\n        CLRF    TRISB\n");
  dir.Write("my-Lib/P16F877A.INC", "TRISB: EQU 5\n");
  dir.Write("other/P16F877A.INC", "TRISB: EQU 4\n");
  for (const auto& [args, word] : std::vector<std::pair<std::vector<std::string>, std::uint16_t>>{
           {{"main.pic"}, 0x0186},
           {{"-I", "my-Lib", "-Iother", "main.pic"}, 0x0185},
           {{"-Iother", "-I", "my-Lib", "main.pic"}, 0x0184}}) {
    ASSERT_EQ(Cli(dir, args).ExitStatus, 0) << args.size();
    EXPECT_EQ(HexWords(dir.Read("main.HEX")).at(0), word) << args.size();
  }
  EXPECT_NE(dir.Read("main.PRN").find("+     1  TRISB: EQU 4"), std::string::npos);
  EXPECT_EQ(dir.Read("main.PRN").find("Symbol-Liste"), std::string::npos);
  dir.Write("P16F877A.INC", "TRISB: EQU 3\n");
  ASSERT_EQ(Cli(dir, {"-I", "my-Lib", "main.pic"}).ExitStatus, 0);
  EXPECT_EQ(HexWords(dir.Read("main.HEX")).at(0), 0x0183);
  EXPECT_EQ(Cli(dir, {"main.pic", "-I"}).ExitStatus, 2);
}

// One chip per core: its definition file alone assembles, and a program with
// its names gives the words gpasm gives with the chip maker's header
// (tests/devices/CHIP.pic and CHIP.asm).
TEST(DeviceFiles, SameWordsAsGpasmWithTheChipMakersHeader) {
  for (std::string chip : {"p10f200", "p16f877a", "p16f1829", "p18f45k22"}) {
    TScratchDir dir;
    std::string name = chip;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    dir.Write("alone.pic", "        INCLUDE " + name + ".INC\n");
    TProcessResult alone = Cli(dir, {"alone.pic"});
    EXPECT_NE(alone.Out.find("Keine Fehler gefunden."), std::string::npos) << chip << alone.Out;
    fs::path cases = fs::path(VELTAS_SOURCE_DIR) / "tests" / "devices";
    fs::copy(cases / (chip + ".pic"), dir / (chip + ".pic"));
    fs::copy(cases / (chip + ".asm"), dir / (chip + ".asm"));
    TProcessResult ours = Cli(dir, {chip + ".pic"});
    ASSERT_EQ(ours.ExitStatus, 0) << ours.Out;
    TProcessResult theirs = RunProcess("gpasm", {"-o", "gpasm.hex", chip + ".asm"}, dir.Path());
    ASSERT_EQ(theirs.ExitStatus, 0) << theirs.Out << theirs.Err;
    std::map<std::uint32_t, std::uint16_t> words = HexWords(dir.Read(chip + ".HEX"));
    EXPECT_GE(words.size(), 9u) << chip;
    EXPECT_EQ(words, HexWords(dir.Read("gpasm.hex"))) << chip;
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
  const std::pair<int, char> samples[] = {{125000, '1'}, {250005, '1'}, {250015, '0'}, {500013, '0'},
                                          {500023, '1'}, {750019, '1'}, {750029, '0'}};
  std::string script;
  for (auto [cycle, level] : samples) script += "break c " + std::to_string(cycle) + "\nrun\np16f877a.portb0\n";
  dir.Write("blink.stc", script + "quit\n");
  TProcessResult r = RunProcess("gpsim", {"-i", "-p", "p16f877a", "-c", "blink.stc", "blink.HEX"}, dir.Path());
  std::string expected, actual;
  for (auto [cycle, level] : samples) expected += std::string("Driving=OUT drivingState=") + level + "\n";
  for (std::size_t at = r.Out.find("Driving="); at != std::string::npos; at = r.Out.find("Driving=", at + 1))
    actual += r.Out.substr(at, r.Out.find(' ', r.Out.find("drivingState", at)) - at) + "\n";
  EXPECT_EQ(actual, expected) << r.Out;
}

}  // namespace
}  // namespace veltas::testing
