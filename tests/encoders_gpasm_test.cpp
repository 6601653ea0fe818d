// Cross-check against an independent assembler: every instruction list in
// tests/gpasm/*.txt is assembled by the built veltas-cli and by gpasm
// (gputils) for the processor the list names (p16c57, p16f877a, p16f1829,
// p18f452), and the two HEX files must hold the same words at the same
// addresses. tests/gpasm/README.md describes the list format and what is
// left out on purpose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

struct TEntry {
  int LineNumber;
  std::string Veltas, Gpasm;
};

struct TList {
  std::string Processor, Core;
  std::vector<std::string> GpasmOnly;
  std::vector<TEntry> Entries;
};

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TList ReadList(const fs::path& path) {
  TList list;
  std::ifstream in(path);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (StartsWith(line, "processor ")) {
      list.Processor = Trim(line.substr(10));
    } else if (StartsWith(line, "core ")) {
      list.Core = Trim(line.substr(5));
    } else if (StartsWith(line, "gpasm-only ")) {
      list.GpasmOnly.push_back(Trim(line.substr(11)));
    } else {
      std::size_t bar = line.find('|');
      std::string veltas = Trim(line.substr(0, bar));
      std::string gpasm = bar == std::string::npos ? veltas : Trim(line.substr(bar + 1));
      list.Entries.push_back({number, veltas, gpasm});
    }
  }
  return list;
}

// gpasm is looked up at run time; the test command installs it.
std::string FindGpasm() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    fs::path candidate = fs::path(dir.empty() ? "." : dir) / "gpasm";
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return "";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// gpasm writes LF line ends; HexWords wants CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Words each entry occupies: CALL, GOTO and LFSR take two under CORE16.
int EntrySize(const std::string& core, const std::string& veltas) {
  std::string word = veltas.substr(0, veltas.find_first_of(" \t"));
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return core == "CORE16" && (word == "CALL" || word == "GOTO" || word == "LFSR") ? 2 : 1;
}

class GpasmCrossCheck : public ::testing::TestWithParam<const char*> {};

TEST_P(GpasmCrossCheck, SameWordsAsGpasm) {
  std::string gpasm = FindGpasm();
  ASSERT_FALSE(gpasm.empty()) << "gpasm (Debian package gputils) is not installed";

  fs::path listPath = fs::path(VELTAS_SOURCE_DIR) / "tests" / "gpasm" / GetParam();
  TList list = ReadList(listPath);
  ASSERT_FALSE(list.Processor.empty()) << listPath;
  ASSERT_FALSE(list.Core.empty()) << listPath;
  ASSERT_FALSE(list.Entries.empty()) << listPath;

  fs::path dir = fs::temp_directory_path() /
                 ("veltas-gpasm-" + std::to_string(getpid()) + "-" + fs::path(GetParam()).stem().string());
  fs::remove_all(dir);
  fs::create_directories(dir);

  std::string veltasSource = list.Core + "\n";
  std::string gpasmSource = "\tlist\tr=dec\n";
  for (const std::string& line : list.GpasmOnly) gpasmSource += line + "\n";
  std::map<std::uint32_t, const TEntry*> entryAt;
  std::uint32_t address = 0;
  for (const TEntry& e : list.Entries) {
    veltasSource += "\t" + e.Veltas + "\n";
    gpasmSource += "\t" + e.Gpasm + "\n";
    int size = EntrySize(list.Core, e.Veltas);
    for (int i = 0; i < size; ++i) entryAt[address + static_cast<std::uint32_t>(i)] = &e;
    address += static_cast<std::uint32_t>(size);
  }
  veltasSource += "\tEND\n";
  gpasmSource += "\tend\n";
  WriteFile(dir / "list.pic", veltasSource);
  WriteFile(dir / "list.asm", gpasmSource);

  std::string veltasCommand = std::string("'") + VELTAS_CLI + "' '" + (dir / "list.pic").string() + "' > '" +
                              (dir / "veltas.log").string() + "' 2>&1";
  int veltasStatus = std::system(veltasCommand.c_str());
  ASSERT_EQ(veltasStatus, 0) << ReadFile(dir / "veltas.log");

  std::string gpasmCommand = "'" + gpasm + "' -p " + list.Processor + " -r dec -o '" + (dir / "gpasm.hex").string() +
                             "' '" + (dir / "list.asm").string() + "' > '" + (dir / "gpasm.log").string() + "' 2>&1";
  int gpasmStatus = std::system(gpasmCommand.c_str());
  ASSERT_EQ(gpasmStatus, 0) << ReadFile(dir / "gpasm.log");

  std::map<std::uint32_t, std::uint16_t> ours = HexWords(ReadFile(dir / "list.HEX"));
  std::map<std::uint32_t, std::uint16_t> theirs = HexWords(WithCrLf(ReadFile(dir / "gpasm.hex")));

  EXPECT_EQ(ours.size(), address) << "veltas words";
  EXPECT_EQ(theirs.size(), address) << "gpasm words";
  for (std::uint32_t a = 0; a < address; ++a) {
    const TEntry& e = *entryAt[a];
    auto o = ours.find(a), t = theirs.find(a);
    char text[64];
    std::snprintf(text, sizeof text, "address %04X: veltas %04X, gpasm %04X", static_cast<unsigned>(a),
                  o == ours.end() ? 0xFFFFu : o->second, t == theirs.end() ? 0xFFFFu : t->second);
    EXPECT_TRUE(o != ours.end() && t != theirs.end() && o->second == t->second)
        << GetParam() << ":" << e.LineNumber << " \"" << e.Veltas << "\" / \"" << e.Gpasm << "\": " << text;
  }
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Cores, GpasmCrossCheck,
                         ::testing::Values("core12.txt", "core14.txt", "core14enh.txt", "core16.txt"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = fs::path(info.param).stem().string();
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace veltas::testing
