// Cross-check against an independent assembler: every list in tests/gpasm is
// assembled by veltas-cli and by gpasm (gputils) for the processor it names,
// and both HEX files must hold the same words. tests/gpasm/README.md
// describes the lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/process.h"
#include "tests/support/run.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

class Gpasm : public ::testing::TestWithParam<std::string> {};

TEST_P(Gpasm, SameWordsAsGpasm) {
  std::ifstream in(fs::path(VELTAS_SOURCE_DIR) / "tests" / "gpasm" / (GetParam() + ".txt"));
  std::string processor, ours, theirs = "\tlist r=dec\nW equ 0\nF equ 1\n";
  auto add = [&](const std::string& mine, const std::string& gpasm) {
    ours += "\t" + mine + "\n";
    theirs += "\t" + gpasm + "\n";
  };
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::size_t blank = line.find(' '), colon = line.find(':'), bar = line.find(" | ");
    std::string word = line.substr(0, blank), rest = line.substr(blank + 1);
    std::string mine = line.substr(0, bar), gpasm = bar == std::string::npos ? mine : line.substr(bar + 3);
    if (word == "processor") {
      processor = rest;
    } else if (word == "core") {
      ours += rest + "\n";
    } else if (word == "gpasm-only") {
      theirs += rest + "\n";
    } else if (colon == std::string::npos) {
      add(mine, gpasm);
    } else {  // "NAMES: operands | gpasm operands": each name with those operands
      std::istringstream names(line.substr(0, colon));
      mine = mine.substr(std::min(mine.size(), colon + 1));
      if (bar == std::string::npos) gpasm = mine;
      for (std::string name; names >> name;) add(name + mine, name + " " + gpasm);
    }
  }
  TScratchDir dir;
  dir.Write("list.pic", ours);
  dir.Write("list.asm", theirs + "\tend\n");
  TProcessResult v = RunProcess(VELTAS_CLI, {"list.pic"}, dir.Path());
  ASSERT_EQ(v.ExitStatus, 0) << v.Out << v.Err;
  TProcessResult g = RunProcess("gpasm", {"-p", processor, "-r", "dec", "-o", "gpasm.hex", "list.asm"}, dir.Path());
  ASSERT_EQ(g.ExitStatus, 0) << "gpasm (Debian package gputils): " << g.Out << g.Err;
  std::string gpasmHex;
  for (char c : dir.Read("gpasm.hex")) gpasmHex += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::map<std::uint32_t, std::uint16_t> mine = HexWords(dir.Read("list.HEX")), other = HexWords(gpasmHex);
  EXPECT_GT(mine.size(), 20u);
  EXPECT_EQ(mine.size(), other.size());
  for (auto [address, word] : mine) {
    char text[64];
    std::snprintf(text, sizeof text, "at %04X: %04X, gpasm %04X (see the listing)", address, word, other[address]);
    EXPECT_EQ(word, other[address]) << text << "\n" << dir.Read("list.PRN");
  }
}

INSTANTIATE_TEST_SUITE_P(Cores, Gpasm, ::testing::Values("core12", "core14", "core14enh", "core16"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace veltas::testing
