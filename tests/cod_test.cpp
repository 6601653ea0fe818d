// veltas-cli --cod: one small file laid out by hand, which follows the HEX
// file's fate; notes and refusals; the writer's limits; gpsim on one chip per
// core and the README's example: stops at a label, lists, holds the words.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cod/cod_file.h"
#include "tests/support/process.h"
#include "tests/support/run.h"

namespace veltas::testing {
namespace {

using namespace std::string_literals;
using TWords = std::map<std::uint32_t, std::uint16_t>;

TProcessResult Cli(const TScratchDir& d, std::vector<std::string> a) { return RunProcess(VELTAS_CLI, a, d.Path()); }

TEST(CodFile, LaidOutByHandAndFollowsTheHexFile) {
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
  dir.Write("s.inc", "s:      RETURN\nt:      EQU 0x12345678\n");  // word 10h = 0008h; t: 32 bits, last
  std::string version = Cli(dir, {"--version"}).Out;
  EXPECT_EQ(Cli(dir, {"--cod", "--processor", "PIC16F877A", "--deps", "main.d", "main.pic"}).Err, "");
  EXPECT_EQ(dir.Read("main.d"), "main.HEX main.PRN main.COD: main.pic s.inc\ns.inc:\n");

  // Blocks: 0 directory, 1 code for words 0..FFh, 2 file names, 3 lines,
  // 4 memory map, 5 symbols. Numbers little-endian, symbol values big-endian.
  std::string expected(6 * 512, '\0');
  auto put = [&](std::size_t at, const std::string& bytes) { expected.replace(at, bytes.size(), bytes); };
  auto text = [&](std::size_t at, const std::string& s) { put(at, static_cast<char>(s.size()) + s); };
  put(0, "\1");                                               // code block of words 0..FFh
  text(256, "main.pic");                                      // source
  text(330, version.substr(20, version.size() - 21));         // "veltas-cli (Veltas) VERSION\n"
  text(350, "Veltas");                                        // compiler
  put(430, "\2\0\2\0\3\0\3\0\0\0\0\0\0\4\0\4\0\0\0\0\0\1"s);  // first, last block of names, lines, map; version 1
  text(453, "16f877a");                                       // processor as gpsim names it, without "p"
  put(462, "\5\0\5\0"s);                                      // long symbols
  put(512 + 2, "\xFF\x3F\x02\x01");
  put(512 + 0x20, "\x08");
  text(1024, "s.inc");  // shorter names first: file 0
  text(1024 + 64, "main.pic");
  // File, flag 80h, line, word address.
  put(1536, "\1\x80\7\0\0\0\1\x80\x08\0\1\0\1\x80\x08\0\2\0\0\x80\1\0\x10\0"s);
  put(2048, "\0\0\5\0\x20\0\x21\0"s);  // first and last byte of words 0..2 and 10h
  // Length, name, type (2Fh constant, 02h register, 2Eh address), value.
  put(2560, "\1k\x2F\0\0\0\x12\x34\1v\2\0\0\0\0\x20\2go\x2E\0\0\0\0\0\1s\x2E\0\0\0\0\x10\1t\x2F\0\x12\x34\x56\x78"s);
  EXPECT_EQ(dir.Read("main.COD"), expected);

  dir.Write("main.pic", "go:     NOP\ngo:     NOP\n");  // error in pass 1: NAME.COD stays as it was
  EXPECT_EQ(Cli(dir, {"--cod", "main.pic"}).ExitStatus, 1);
  EXPECT_EQ(dir.Read("main.COD"), expected);
  dir.Write("main.pic", "        GOTO nowhere\n");  // error in pass 2: the HEX file goes, and NAME.COD
  EXPECT_EQ(Cli(dir, {"--cod", "main.pic"}).ExitStatus, 1);
  EXPECT_FALSE(dir.Exists("main.HEX") || dir.Exists("main.COD"));
}

std::string NoProcessor(const std::string& why) {
  return "veltas-cli: Hinweis: prog.COD nennt keinen Prozessor (" + why +
         "); gpsim -s lädt sie so nicht. --processor NAME behebt das; sonst braucht gpsim ein Skript (gpsim -c "
         "SKRIPT) mit \"processor p16f877a\" (der passende Prozessor) und \"load prog.cod\", und gpsim 0.31 lädt so "
         "nur Namen auf \".cod\" in Kleinbuchstaben (unter Linux: ln -s prog.COD prog.cod)\n";
}

TEST(CodFile, SaysWhatTheFileLacks) {
  TScratchDir dir;
  dir.Write("prog.pic", "        NOP\n");
  dir.Write("big.pic", std::string(65534, '\n') + "        NOP\n        NOP\n");  // lines 65535 and 65536
  // Names beyond 63 characters: a note only where the file has program words.
  const std::string longName = std::string(60, 'n') + ".inc", codeName = "c" + longName;
  dir.Write(longName, "X: EQU 1\n"), dir.Write(codeName, "        NOP\n");
  dir.Write("inc.pic", "  INCLUDE " + longName + "\n  NOP\n"), dir.Write("code.pic", "  INCLUDE " + codeName + "\n");
  const std::tuple<std::vector<std::string>, int, std::string> rows[] = {
      {{"--processor", "16F84A", "prog.pic"}, 2, "veltas-cli: Option \"--processor\" gilt nur mit \"--cod\"\n"},
      {{"--cod", "prog.pic"}, 0, NoProcessor("weder --processor noch ein Symbol wie __16F877A")},
      {{"--quiet", "--cod", "prog.pic"}, 0, ""},
      {{"--cod", "--processor", "PIC18LF45K22", "prog.pic"}, 0, NoProcessor("\"18lf45k22\" hat mehr als 8 Zeichen")},
      {{"--cod", "--processor", "16F877A", "big.pic"},
       0,
       "veltas-cli: Hinweis: big.COD nennt die Quellzeile von "
       "1 Programmwort aus Zeilen über 65535 nicht: das Format zählt Zeilen nur bis 65535\n"},
      {{"--cod", "--processor", "16F877A", "inc.pic"}, 0, ""},
      {{"--cod", "--processor", "16F877A", "code.pic"},
       0,
       "veltas-cli: Hinweis: \"" + codeName +
           "\" fehlt in code.COD: der Name wäre auch absolut länger als 63 Zeichen; gpsim zeigt diese Zeilen nicht\n"},
  };
  for (const auto& [args, status, err] : rows) {
    TProcessResult r = Cli(dir, args);
    EXPECT_EQ(r.ExitStatus, status) << err;
    EXPECT_EQ(r.Err.substr(0, r.Err.find('\n') + 1), err);
  }
  // Block 3, the lines: file 0, flag 80h, line FFFFh, word 0; nothing for word 1.
  EXPECT_EQ(dir.Read("big.COD").substr(3 * 512, 12), "\0\x80\xFF\xFF\0\0\0\0\0\0\0\0"s);
}

TEST(CodFile, WriterJoinsRangesAndCountsItsBlocks) {
  // 129 single words two apart, two ranges more than gpsim's one map block
  // holds: all gaps are alike, so the lowest two close.
  cod::TCodImage image;
  for (std::uint32_t word = 0; word <= 0x100; word += 2) image.Words.push_back({word, 0x1234});
  cod::TCodFile file = cod::BuildCodFile(image);
  EXPECT_EQ(file.Merged, 2u);
  // Blocks: directory, code for words 0..FFh and 100h..1FFh, memory map.
  ASSERT_EQ(file.Bytes.size(), 4u * 512);
  EXPECT_EQ(file.Bytes.substr(3 * 512, 8), "\0\0\x09\0\x0C\0\x0D\0"s);            // words 0..4, 6
  EXPECT_EQ(file.Bytes.substr(3 * 512 + 126 * 4, 8), "\0\x02\x01\x02\0\0\0\0"s);  // word 100h, the end

  // Block numbers have 16 bits. Seven 64-character symbols (71 bytes each)
  // fill a block: with directory and map, 65534 of those make the largest file.
  image = {};
  image.Symbols.assign(7 * 65534, cod::TCodSymbol{std::string(64, 'x'), cod::SymbolConstant, 0});
  EXPECT_EQ(cod::BuildCodFile(image).Bytes.size(), 65536u * 512);
  image.Symbols.push_back(image.Symbols.back());
  EXPECT_EQ(cod::BuildCodFile(image).Bytes, "");  // refused
}

// Each match of pattern: group 1 an address, group 2 hex words from there on.
TWords Scan(const std::string& text, const std::string& pattern, std::uint32_t step) {
  TWords words;
  std::regex re(pattern);
  for (std::sregex_iterator m(text.begin(), text.end(), re), end; m != end; ++m) {
    std::istringstream row((*m)[2]);
    auto at = static_cast<std::uint32_t>(std::stoul((*m)[1], nullptr, 16));
    for (std::string w; row >> w; at += step) words[at] = static_cast<std::uint16_t>(std::stoul(w, nullptr, 16));
  }
  return words;
}

// Loads src/NAME.COD, just assembled, into gpvc and gpsim; returns gpsim's
// listings at label and two steps on.
std::string Simulate(const TScratchDir& dir, const std::string& name, const std::string& label) {
  bool bytes = dir.Read("src/" + name + ".pic").find("CORE16") != std::string::npos;  // PIC18: byte addresses
  TWords expected;
  for (auto [at, word] : HexWords(dir.Read("src/" + name + ".HEX"))) expected[bytes ? 2 * at : at] = word;

  // gpvc, in the file's directory so that it finds the sources: a line entry
  // (flag 80h) at each address, and the HEX file's word there in its dump.
  TProcessResult gpvc = RunProcess("gpvc", {name + ".COD"}, dir / "src");
  EXPECT_EQ(gpvc.ExitStatus, 0);
  EXPECT_EQ(gpvc.Err, "");
  EXPECT_EQ(gpvc.Out.find("ERROR"), std::string::npos) << gpvc.Out;
  TWords dump = Scan(gpvc.Out, R"(\n([0-9a-f]{6}):  ([0-9a-f ]+))", bytes ? 2 : 1);
  TWords entries = Scan(gpvc.Out, R"(([0-9A-F]{6}) +(80) C\.{7})", 1);
  for (auto& [address, word] : entries) word = dump[address];
  EXPECT_EQ(entries, expected) << gpvc.Out;

  // The cycle break ends the run should the label never be reached.
  dir.Write("cod.stc", "break e " + label + "\nbreak c 2000\nrun\nlist\nstep\nstep\nlist\ndisassemble 0:600\nquit\n");
  std::string sim = RunProcess("gpsim", {"-i", "-s", "src/" + name + ".COD", "-c", "cod.stc"}, dir.Path()).Out;
  TWords simulated = Scan(sim, R"(\n(?:==>|   )[ B]([0-9a-f]{4})  ([0-9a-f]{4})  )", 1);
  for (auto [address, word] : simulated)  // 3FFFh: nothing loaded there
    EXPECT_EQ(word, expected.count(address) ? expected[address] : 0x3FFF) << address;
  return sim.substr(0, sim.find("current pc"));  // the listings, before the disassembly
}

// Each program calls sub in sub.inc, whose NOP and return lead back to the
// line after the call. 90 words on one line make more line entries than a
// block holds; 120h is in a second code block, 8007h on a second page.
const std::vector<std::vector<std::string>> kCores = {
    {"PIC10F200", "        CORE12\nstart:  MOVLW 5\n        MOVWF 0x10\nloop:   DECFSZ 0x10,F\n        GOTO loop\n"},
    {"p16f877a", "        ORG 0x120\n        DATA \"" + std::string(90, 'x') + "\"\n        ORG 0\nstart:  NOP\n"},
    {"16F1823", "        CORE14ENH\n        ORG 0x8007\n        DATA 0x3FE4\n        ORG 0\nstart:  MOVLW 5\n"},
    {"18F452", "        CORE16\nstart:  LFSR 0,0x123\nloop:   DECFSZ 0x20\n        GOTO loop\n"},
};

class CodGpsim : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CodGpsim, BreaksInAnIncludeFileAndListsTheLines) {
  TScratchDir dir;
  dir.Write("src/main.pic", GetParam()[1] + "        CALL sub\n        GOTO start\n        INCLUDE sub.inc\n");
  dir.Write("src/sub.inc", "sub:    NOP\n        RETLW 0\n");
  EXPECT_EQ(Cli(dir, {"--cod", "--processor", GetParam()[0], "src/main.pic"}).Err, "");
  std::string listings = Simulate(dir, "main", "sub");
  EXPECT_TRUE(std::regex_search(listings, std::regex(R"(listing src/sub\.inc [\s\S]*\n==>sub:    NOP\n[\s\S]*)"
                                                     R"(listing src/main\.pic [\s\S]*\n==>        GOTO start\n)")))
      << listings;
}

INSTANTIATE_TEST_SUITE_P(Cores, CodGpsim, ::testing::ValuesIn(kCores), [](const auto& info) { return info.param[0]; });

// The README's workflow on examples/blink.pic (processor from its definition file).
TEST(CodReadme, GpsimStopsAtTheLabelItNames) {
  TScratchDir dir;
  std::string readme = dir.Read(VELTAS_SOURCE_DIR "/README.md");  // an absolute name reads from there
  std::smatch label;
  ASSERT_TRUE(std::regex_search(readme, label, std::regex(R"(\ngpsim> break e (\w+))")));
  dir.Write("src/blink.pic", dir.Read(VELTAS_SOURCE_DIR "/examples/blink.pic"));
  EXPECT_EQ(Cli(dir, {"--cod", "src/blink.pic"}).Err, "");
  EXPECT_NE(Simulate(dir, "blink", label[1]).find("\n==>" + label[1].str() + ":"), std::string::npos);
}

}  // namespace
}  // namespace veltas::testing
