// veltas-cli --cod: one small file laid out by hand from the format, the
// fate of NAME.COD next to the HEX file, the notes on stderr, and the limit
// of 16-bit block numbers.
#include "cod/cod_file.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "tests/support/process.h"

namespace veltas::testing {
namespace {

TProcessResult Cli(const TScratchDir& dir, const std::vector<std::string>& args) {
  return RunProcess(VELTAS_CLI, args, dir.Path());
}

TEST(CodFile, BlockLayoutWorkedOutByHand) {
  TScratchDir dir;
  dir.Write("main.pic",
            "k:      EQU 0x1234\n"  // 1: constant
            "f:      BIT 3,2\n"     // 2: bit names are left out
            "        SEG RAM\n"
            "        ORG 0x20\n"
            "v:      DS 1\n"  // 5: register 20h
            "        SEG CODE\n"
            "go:     NOP\n"                 // 7: word 0 = 0000h
            "        DATA 0x3FFF,0x0102\n"  // 8: words 1 and 2, one line
            "        ORG 0x10\n"
            "        INCLUDE s.inc\n");
  dir.Write("s.inc", "s:      RETURN\n");  // word 10h = 0008h
  std::string version = Cli(dir, {"--version"}).Out;
  version = version.substr(version.rfind(' ') + 1, version.size() - version.rfind(' ') - 2);
  TProcessResult r = Cli(dir, {"--cod", "--processor", "PIC16F877A", "main.pic"});
  ASSERT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Err, "");

  // Blocks: 0 directory, 1 code for words 0..FFh, 2 file names, 3 lines,
  // 4 memory map, 5 symbols. Numbers little-endian, symbol values big-endian.
  std::string expected(6 * 512, '\0');
  auto put = [&](std::size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes) expected[at++] = static_cast<char>(b);
  };
  auto text = [&](std::size_t at, const std::string& s) {
    expected[at] = static_cast<char>(s.size());
    expected.replace(at + 1, s.size(), s);
  };
  put(0, {1});            // code block of words 0..FFh
  text(256, "main.pic");  // source
  text(330, version);
  text(350, "Veltas");     // compiler
  put(430, {2, 0, 2, 0});  // file names: first and last block
  put(434, {3, 0, 3, 0});  // line table
  put(443, {4, 0, 4, 0});  // memory map
  put(451, {1});           // file version
  text(453, "16f877a");    // processor as gpsim names it, without "p"
  put(462, {5, 0, 5, 0});  // long symbols
  put(512 + 2, {0xFF, 0x3F, 0x02, 0x01});
  put(512 + 0x20, {0x08});
  text(1024, "s.inc");  // shorter names first: file 0
  text(1024 + 64, "main.pic");
  // File, flag 80h, line, word address.
  put(1536, {1, 0x80, 7, 0, 0, 0, 1, 0x80, 8, 0, 1, 0, 1, 0x80, 8, 0, 2, 0, 0, 0x80, 1, 0, 0x10, 0});
  // Byte ranges, first and last byte: words 0..2 and 10h.
  put(2048, {0, 0, 5, 0, 0x20, 0, 0x21, 0});
  // Length, name, type (2Fh constant, 02h register, 2Eh address), value.
  put(2560, {1, 'k', 0x2F, 0,    0, 0, 0x12, 0x34,     //
             1, 'v', 2,    0,    0, 0, 0,    0x20,     //
             2, 'g', 'o',  0x2E, 0, 0, 0,    0,    0,  //
             1, 's', 0x2E, 0,    0, 0, 0,    0x10});
  EXPECT_EQ(dir.Read("main.COD"), expected);
}

TEST(CodFile, NothingElseChangesAndTheFileFollowsTheHexFile) {
  TScratchDir dir;
  dir.Write("prog.pic", "start:  NOP\n        GOTO start\n");
  TProcessResult plain = Cli(dir, {"-L", "prog.pic"});
  std::string hex = dir.Read("prog.HEX"), prn = dir.Read("prog.PRN");
  EXPECT_FALSE(dir.Exists("prog.COD"));
  TProcessResult cod = Cli(dir, {"--cod", "--processor=16F84A", "--deps", "prog.d", "-L", "prog.pic"});
  EXPECT_EQ(cod.ExitStatus, 0);
  EXPECT_EQ(cod.Out, plain.Out);
  EXPECT_EQ(cod.Err, "");
  EXPECT_EQ(dir.Read("prog.HEX"), hex);
  EXPECT_EQ(dir.Read("prog.PRN"), prn);
  EXPECT_EQ(dir.Read("prog.d"), "prog.HEX prog.PRN prog.COD: prog.pic\n");
  std::string written = dir.Read("prog.COD");

  // An error in pass 1 leaves the outputs as they were; one in pass 2
  // removes the HEX file, and the debug file with it.
  dir.Write("prog.pic", "start:  NOP\nstart:  NOP\n");
  EXPECT_EQ(Cli(dir, {"--cod", "prog.pic"}).ExitStatus, 1);
  EXPECT_EQ(dir.Read("prog.COD"), written);
  dir.Write("prog.pic", "        GOTO nowhere\n");
  EXPECT_EQ(Cli(dir, {"--cod", "prog.pic"}).ExitStatus, 1);
  EXPECT_FALSE(dir.Exists("prog.HEX"));
  EXPECT_FALSE(dir.Exists("prog.COD"));
}

TEST(CodFile, SaysWhatTheFileLacks) {
  TScratchDir dir;
  dir.Write("prog.pic", "        NOP\n");
  TProcessResult r = Cli(dir, {"--cod", "prog.pic"});
  EXPECT_EQ(r.ExitStatus, 0);
  EXPECT_EQ(r.Err,
            "veltas-cli: Hinweis: prog.COD nennt keinen Prozessor (weder --processor noch ein Symbol wie __16F877A); "
            "gpsim -s lädt sie so nicht. --processor NAME behebt das; sonst braucht gpsim ein Skript (gpsim -c "
            "SKRIPT) mit \"processor p16f877a\" (der passende Prozessor) und \"load prog.cod\", und gpsim 0.31 lädt "
            "so nur Namen auf \".cod\" in Kleinbuchstaben (unter Linux: ln -s prog.COD prog.cod)\n");
  EXPECT_EQ(Cli(dir, {"--quiet", "--cod", "prog.pic"}).Err, "");
  EXPECT_NE(Cli(dir, {"--cod", "--processor", "PIC18LF45K22", "prog.pic"}).Err.find("\"18lf45k22\" hat mehr als 8"),
            std::string::npos);
  TProcessResult usage = Cli(dir, {"--processor", "16F84A", "prog.pic"});
  EXPECT_EQ(usage.ExitStatus, 2);
  EXPECT_EQ(usage.Err.substr(0, usage.Err.find('\n')), "veltas-cli: Option \"--processor\" gilt nur mit \"--cod\"");

  dir.Write("big.pic", std::string(65534, '\n') + "        NOP\n        NOP\n");  // lines 65535 and 65536
  EXPECT_EQ(Cli(dir, {"--cod", "--processor", "16F877A", "big.pic"}).Err,
            "veltas-cli: Hinweis: big.COD nennt die Quellzeile von 1 Programmwort aus Zeilen über 65535 nicht: "
            "das Format zählt Zeilen nur bis 65535\n");
  // Block 3, the lines: file 0, flag 80h, line FFFFh, word 0; nothing for word 1.
  EXPECT_EQ(dir.Read("big.COD").substr(3 * 512, 12), std::string("\0\x80\xFF\xFF\0\0\0\0\0\0\0\0", 12));
}

// 129 single words two apart: one range too many for gpsim's one map block.
// All gaps are alike, so the lowest two close.
TEST(CodFile, WriterJoinsRangesAndCountsItsBlocks) {
  cod::TCodImage image;
  for (std::uint32_t word = 0; word <= 0x100; word += 2) image.Words.push_back({word, 0x1234});
  cod::TCodFile file = cod::BuildCodFile(image);
  EXPECT_EQ(file.Merged, 2u);
  // Blocks: directory, code for words 0..FFh and 100h..1FFh, memory map.
  ASSERT_EQ(file.Bytes.size(), 4u * 512);
  EXPECT_EQ(file.Bytes.substr(0, 4), std::string("\x01\0\x02\0", 4));
  std::string map = file.Bytes.substr(3 * 512);
  EXPECT_EQ(map.substr(0, 8), std::string("\0\0\x09\0\x0C\0\x0D\0", 8));        // words 0..4, 6
  EXPECT_EQ(map.substr(126 * 4, 8), std::string("\0\x02\x01\x02\0\0\0\0", 8));  // word 100h, the end

  // Block numbers are 16 bits wide. A 64-character symbol takes 71 bytes, so
  // seven fill a block; with the directory and its memory map, 65534 blocks
  // of symbols make the largest file there can be.
  image = {};
  image.Symbols.assign(7 * 65534, cod::TCodSymbol{std::string(64, 'x'), cod::SymbolConstant, 0});
  cod::TCodFile largest = cod::BuildCodFile(image);
  EXPECT_EQ(largest.Bytes.size(), 65536u * 512);
  image.Symbols.push_back(image.Symbols.back());
  cod::TCodFile tooLarge = cod::BuildCodFile(image);
  EXPECT_EQ(tooLarge.Blocks, 65537u);
  EXPECT_TRUE(tooLarge.Bytes.empty());
}

}  // namespace
}  // namespace veltas::testing
