// Golden files: every directory under tests/golden is one case, a small
// source with the HEX file, listing and status text written by hand from the
// output rules. The whole program runs in memory and each output must match
// byte for byte. tests/golden/README describes the layout of a case.
//
// VELTAS_GOLDEN_ACTUAL=<dir> also writes what the program produced to
// <dir>/<case>/actual.{HEX,PRN,status}, for inspection; it never touches the
// expected files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "tests/support/assemble.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(VELTAS_SOURCE_DIR) / "tests" / "golden";

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A source that changes between the two passes: "<name>.pass2" is served for
// every opening of <name> after the first. It stands for a file edited while
// it is being assembled, the one way a label can move between the passes.
class TEditedFiles : public TMemoryFiles {
 public:
  std::map<std::string, std::string> SecondText;
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override {
    auto file = TMemoryFiles::OpenRead(name, reason);
    if (auto it = SecondText.find(name); it != SecondText.end()) {
      Inputs[name] = it->second;
      SecondText.erase(it);
    }
    return file;
  }
};

// The status text is stored readable: UTF-8, with a line feed wherever the
// program writes its line separator CR (the status text holds no line feed).
std::string StatusFromReadable(const std::string& readable) {
  std::string status = Cp1252(readable);
  std::replace(status.begin(), status.end(), '\n', '\r');
  return status;
}

std::string StatusToReadable(const std::string& status) {
  std::string out;
  for (char c : status) {
    auto b = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += '\n';
    } else if (b >= 0xA0) {  // cp1252 letters of the German texts
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    } else {
      out += c;
    }
  }
  return out;
}

// One line of a file with its control and non-ASCII bytes made visible.
std::string Visible(const std::string& line) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char c : line) {
    auto b = static_cast<unsigned char>(c);
    if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (b < 0x20 || b >= 0x7F) out += std::string("\\x") + hex[b >> 4] + hex[b & 0xF];
    else out += c;
  }
  return out;
}

std::vector<std::string> SplitKeepingEnds(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// A readable report of where two texts part: the lines around the first
// difference, "-" expected, "+" actual, line ends shown as \r and \n.
std::string Diff(const std::string& expected, const std::string& actual) {
  std::vector<std::string> e = SplitKeepingEnds(expected), a = SplitKeepingEnds(actual);
  std::size_t first = 0;
  while (first < e.size() && first < a.size() && e[first] == a[first]) ++first;
  std::ostringstream out;
  out << "first difference in line " << first + 1 << " (expected " << e.size() << " lines, got " << a.size()
      << ")\n";
  std::size_t from = first >= 2 ? first - 2 : 0;
  for (std::size_t i = from; i < first; ++i) out << "  " << Visible(e[i]) << "\n";
  for (std::size_t i = first; i < std::min(e.size(), first + 4); ++i) out << "- " << Visible(e[i]) << "\n";
  for (std::size_t i = first; i < std::min(a.size(), first + 4); ++i) out << "+ " << Visible(a[i]) << "\n";
  return out.str();
}

bool IsCaseInput(const std::string& relative) {
  std::string file = fs::path(relative).filename().string();
  return file != "args" && file != "from-repo" && file.rfind("README", 0) != 0 && file.rfind("expected.", 0) != 0 &&
         file != ".gitattributes";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

struct TCaseRun {
  driver::TRunResult Result;
  std::string Status, Hex, Prn;
  bool HexWritten = false, PrnWritten = false;
};

TCaseRun RunCase(const fs::path& dir) {
  TEditedFiles files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::string relative = fs::relative(entry.path(), dir).generic_string();
    if (!IsCaseInput(relative)) continue;
    std::string text = *ReadBytes(entry.path());
    if (relative.size() > 6 && relative.ends_with(".pass2"))
      files.SecondText[relative.substr(0, relative.size() - 6)] = text;
    else
      files.Inputs[relative] = text;
  }
  // Files of the repository that a case assembles as they are (the demo).
  if (auto list = ReadBytes(dir / "from-repo")) {
    for (const std::string& path : Lines(*list))
      if (!path.empty())
        files.Inputs[fs::path(path).filename().string()] = *ReadBytes(fs::path(VELTAS_SOURCE_DIR) / path);
  }
  std::vector<std::string> args{"main.pic"};
  if (auto text = ReadBytes(dir / "args")) args = Lines(*text);

  TFakeWindow window;
  TCaseRun run;
  run.Result = driver::RunSequence(args, window, files);
  run.Status = driver::StatusText.Raw();
  if (auto it = files.Outputs.find(driver::HexName); it != files.Outputs.end()) {
    run.Hex = it->second;
    run.HexWritten = true;
  }
  if (auto it = files.Outputs.find(driver::PrnName); it != files.Outputs.end()) {
    run.Prn = it->second;
    run.PrnWritten = true;
  }
  return run;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  if (fs::is_directory(kGoldenDir))
    for (const auto& entry : fs::directory_iterator(kGoldenDir))
      if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, OutputsMatchByteForByte) {
  const fs::path dir = kGoldenDir / GetParam();
  TCaseRun run = RunCase(dir);

  if (const char* out = std::getenv("VELTAS_GOLDEN_ACTUAL")) {
    fs::path target = fs::path(out) / GetParam();
    if (run.HexWritten) WriteBytes(target / "actual.HEX", run.Hex);
    if (run.PrnWritten) WriteBytes(target / "actual.PRN", run.Prn);
    WriteBytes(target / "actual.status", StatusToReadable(run.Status));
  }

  auto expectedStatus = ReadBytes(dir / "expected.status");
  ASSERT_TRUE(expectedStatus) << "every case states its status text";
  std::string status = StatusFromReadable(*expectedStatus);
  EXPECT_EQ(run.Status, status) << "status text: " << Diff(StatusToReadable(status), StatusToReadable(run.Status));

  // A missing expected file means the program must not create that file.
  if (auto hex = ReadBytes(dir / "expected.HEX")) {
    EXPECT_TRUE(run.HexWritten) << "no HEX file was created";
    EXPECT_EQ(run.Hex, *hex) << "HEX file: " << Diff(*hex, run.Hex);
  } else {
    EXPECT_FALSE(run.HexWritten) << "a HEX file was created";
  }
  if (auto prn = ReadBytes(dir / "expected.PRN")) {
    EXPECT_TRUE(run.PrnWritten) << "no listing was created";
    EXPECT_EQ(run.Prn, *prn) << "listing: " << Diff(*prn, run.Prn);
  } else {
    EXPECT_FALSE(run.PrnWritten) << "a listing was created";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// The directory must hold cases; an empty list would pass silently.
TEST(GoldenCases, Exist) { EXPECT_GE(CaseNames().size(), 20u); }

}  // namespace
}  // namespace veltas::testing
