// veltas-cli --cod against gpsim, one chip per core: NAME.COD, loaded from
// another directory, stops at a label in an include file, lists the marked
// lines and holds the HEX file's words; gpvc reads it without complaint.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "tests/support/run.h"
#include "tests/support/process.h"

namespace veltas::testing {
namespace {

struct TCoreCase {
  std::string Name;                  // the core first
  std::vector<std::string> Options;  // the processor; CORE14 names it by its symbol
  std::string Main;
};

// 90 words on one line: more line entries than one block holds.
std::string Data90() {
  std::string line = "        DATA 0";
  for (int i = 1; i < 90; ++i) line += "," + std::to_string(i);
  return line + "\n";
}

// Each program calls sub (in sub.inc) once; after NOP and the return the
// next line of the main source is "GOTO start".
const std::vector<TCoreCase> kCases = {
    {"Core12_PIC10F200",
     {"--processor", "PIC10F200"},
     "        CORE12\nstart:  MOVLW 5\n        MOVWF 0x10\nloop:   DECFSZ 0x10,F\n        GOTO loop\n"
     "        CALL sub\n        GOTO start\n        INCLUDE sub.inc\n"},
    {"Core14_PIC16F877A",
     {},
     "__16F877A: EQU 1\n        SEG RAM\n        ORG 0x20\ncnt:    DS 1\n        SEG CODE\nstart:  MOVLW 5\n"
     "        MOVWF cnt\n        CALL sub\n        GOTO start\n" +
         Data90() + "        ORG 0x120\n        INCLUDE sub.inc\n"},
    {"Core14Enh_PIC16F1823",
     {"--processor", "p16f1823"},
     "        CORE14ENH\nstart:  MOVLW 5\nloop:   DECFSZ 0x20,F\n        BRA loop\n        CALL sub\n"
     "        GOTO start\n        INCLUDE sub.inc\n        ORG 0x8007\n        DATA 0x3FE4\n"},
    {"Core16_PIC18F452",
     {"--processor", "18F452"},
     "        CORE16\nstart:  LFSR 0,0x123\nloop:   DECFSZ 0x20\n        GOTO loop\n        CALL sub\n"
     "        GOTO start\n        INCLUDE sub.inc\n"},
};

void PrintTo(const TCoreCase& c, std::ostream* os) { *os << c.Name; }

std::uint32_t Hex(const std::string& digits) { return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16)); }

// The words gpvc's code dump shows inside its "ROM Usage" ranges, by the
// processor's addresses (step 2 where they count bytes).
std::map<std::uint32_t, std::uint16_t> GpvcWords(const std::string& out, std::uint32_t step) {
  std::regex range(R"(^using ROM ([0-9a-f]{6}) to ([0-9a-f]{6}))"), row(R"(^([0-9a-f]{6}):  (.*))");
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
  std::map<std::uint32_t, std::uint16_t> dump, words;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_search(line, m, range)) {
      ranges.emplace_back(Hex(m[1]), Hex(m[2]));
    } else if (std::regex_search(line, m, row)) {
      std::istringstream row_words(m[2]);
      std::uint32_t at = Hex(m[1]);
      for (std::string w; row_words >> w; at += step) dump[at] = static_cast<std::uint16_t>(Hex(w));
    }
  }
  for (auto [first, last] : ranges)
    for (std::uint32_t at = first; at <= last; at += step) words[at] = dump[at];
  return words;
}

class CodGpsim : public ::testing::TestWithParam<TCoreCase> {};

TEST_P(CodGpsim, BreaksListsAndHoldsTheHexWords) {
  const TCoreCase& c = GetParam();
  bool core12 = c.Name.rfind("Core12", 0) == 0, byteAddresses = c.Name.rfind("Core16", 0) == 0;
  TScratchDir dir;
  dir.Write("src/main.pic", c.Main);
  dir.Write("src/sub.inc", core12 ? "sub:    NOP\n        RETLW 0\n" : "sub:    NOP\n        RETURN\n");
  std::vector<std::string> args = c.Options;
  args.insert(args.begin(), "--cod");
  args.push_back("src/main.pic");
  TProcessResult veltas = RunProcess(VELTAS_CLI, args, dir.Path());
  ASSERT_EQ(veltas.ExitStatus, 0) << veltas.Err;
  EXPECT_EQ(veltas.Err, "");

  std::map<std::uint32_t, std::uint16_t> hex = HexWords(dir.Read("src/main.HEX")), expected;
  for (auto [address, word] : hex) expected[byteAddresses ? 2 * address : address] = word;

  // gpvc shows the HEX file's words, configuration words too, and a line
  // entry (flag 80h) for each of them.
  TProcessResult gpvc = RunProcess("/usr/bin/gpvc", {"main.COD"}, dir / "src");
  EXPECT_EQ(gpvc.ExitStatus, 0);
  EXPECT_EQ(gpvc.Err, "");
  EXPECT_EQ(gpvc.Out.find("ERROR"), std::string::npos) << gpvc.Out;
  EXPECT_EQ(GpvcWords(gpvc.Out, byteAddresses ? 2 : 1), expected) << gpvc.Out;
  std::regex entry(R"(^ +\d+ +\d+ +[0-9A-F]{6} +80 C\.{7} )");
  std::istringstream listing(gpvc.Out);
  std::size_t entries = 0;
  for (std::string line; std::getline(listing, line);) entries += std::regex_search(line, entry);
  EXPECT_EQ(entries, hex.size());

  // The cycle break ends the run should the label never be reached.
  dir.Write("cod.stc", "break e sub\nbreak c 2000\nrun\nlist\nstep\nstep\nlist\ndisassemble 0:40\nquit\n");
  TProcessResult sim = RunProcess("/usr/bin/gpsim", {"-i", "-s", "src/main.COD", "-c", "cod.stc"}, dir.Path());
  ASSERT_EQ(sim.ExitStatus, 0) << sim.Out;

  // "==>" marks the current line in a listing and the PC in a disassembly.
  std::regex disassembly(R"(^(==>|   )[ B]([0-9a-f]{4})  ([0-9a-f]{4})  )");
  std::vector<std::string> marked;
  std::map<std::uint32_t, std::uint16_t> simulated;
  std::istringstream out(sim.Out);
  for (std::string line; std::getline(out, line);) {
    std::smatch m;
    if (std::regex_search(line, m, disassembly))
      simulated[Hex(m[2])] = static_cast<std::uint16_t>(Hex(m[3]));
    else if (line.rfind("==>", 0) == 0)
      marked.push_back(line);
  }
  EXPECT_EQ(marked, (std::vector<std::string>{"==>sub:    NOP", "==>        GOTO start"})) << sim.Out;
  for (std::string file : {"listing src/sub.inc ", "listing src/main.pic "})
    EXPECT_NE(sim.Out.find(file), std::string::npos) << file;

  ASSERT_FALSE(simulated.empty());
  for (auto [address, word] : simulated)
    EXPECT_EQ(word, expected.count(address) ? expected[address] : 0x3FFF) << address;  // 3FFFh: nothing loaded
}

INSTANTIATE_TEST_SUITE_P(Cores, CodGpsim, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TCoreCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace veltas::testing
