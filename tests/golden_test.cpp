// Golden files: every directory under tests/golden is one case, a small
// source with the HEX file, listing and status text written by hand from the
// output rules (tests/golden/README). The whole program runs in memory and
// each output must match byte for byte (a failure shows the lines that
// differ). VELTAS_GOLDEN_ACTUAL=<dir> writes what the program produced to
// <dir>/<case>/actual.*, for inspection.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/run.h"

namespace veltas::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(VELTAS_SOURCE_DIR) / "tests" / "golden";

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A source edited between the passes: "<name>.pass2" is what every opening of
// <name> after the first reads (the one way to move a label).
class TEditedFiles : public TMemoryFiles {
 public:
  std::map<std::string, std::string> SecondText;
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override {
    auto file = TMemoryFiles::OpenRead(name, reason);
    if (auto it = SecondText.find(name); it != SecondText.end()) Inputs[name] = it->second, SecondText.erase(it);
    return file;
  }
};

class Golden : public ::testing::TestWithParam<std::string> {};

// The outputs of one run of a case: "status" (readable), "HEX" and "PRN" as
// far as written, and "errors" (file:line:col: message, UTF-8).
std::map<std::string, std::string> RunCase(const fs::path& dir, int maxErrors) {
  TEditedFiles files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name == "args" || name == "from-repo" || name == "README" || name.starts_with("expected.")) continue;
    if (name.ends_with(".pass2"))
      files.SecondText[name.substr(0, name.size() - 6)] = *ReadBytes(entry.path());
    else
      files.Inputs[name] = *ReadBytes(entry.path());
  }
  std::istringstream repo(ReadBytes(dir / "from-repo").value_or(""));  // repository files assembled as they are
  for (std::string path; std::getline(repo, path);)
    files.Inputs[fs::path(path).filename().string()] = *ReadBytes(fs::path(VELTAS_SOURCE_DIR) / path);
  std::vector<std::string> args;
  driver::TRunSettings settings;
  settings.MaxErrors = maxErrors;
  std::istringstream argLines(ReadBytes(dir / "args").value_or("main.pic\n"));
  for (std::string arg; std::getline(argLines, arg);)
    if (arg.starts_with("--max-errors="))
      settings.MaxErrors = std::stoi(arg.substr(13));
    else
      args.push_back(arg);

  TFakeWindow window;
  driver::TRunResult result = driver::RunSequence(args, window, files, settings);
  // The status text is kept readable: UTF-8, a line feed for each CR.
  std::string status = Utf8(driver::StatusText.Raw());
  std::replace(status.begin(), status.end(), '\r', '\n');
  std::map<std::string, std::string> actual = {{"status", status}};
  for (const char* ext : {"HEX", "PRN"})
    if (auto it = files.Outputs.find(ext == std::string("HEX") ? driver::HexName : driver::PrnName);
        it != files.Outputs.end())
      actual[ext] = it->second;
  for (const driver::TErrorReport& e : result.Errors)
    actual["errors"] += e.File + ":" + std::to_string(e.Line) + ":" + std::to_string(e.Column) + ": " +
                        Utf8(e.Message) + "\n";
  return actual;
}

TEST_P(Golden, OutputsMatchByteForByte) {
  const fs::path dir = kGolden / GetParam();
  std::map<std::string, std::string> actual = RunCase(dir, 1);
  for (const char* ext : {"status", "HEX", "PRN", "errors"}) {
    if (const char* out = std::getenv("VELTAS_GOLDEN_ACTUAL"); out && actual.count(ext)) {
      fs::create_directories(fs::path(out) / GetParam());
      std::ofstream(fs::path(out) / GetParam() / (std::string("actual.") + ext), std::ios::binary) << actual[ext];
    }
    // A missing expected file means the program must not write that file
    // (for errors: the run has none to report beyond the status text's).
    std::optional<std::string> expected = ReadBytes(dir / (std::string("expected.") + ext));
    if (ext == std::string("errors") && !expected) continue;
    EXPECT_EQ(actual.count(ext) ? std::optional(actual[ext]) : std::nullopt, expected) << ext;
  }
  // A run that goes on after errors but meets none gives the same bytes.
  if (!actual.count("errors")) {
    EXPECT_EQ(RunCase(dir, 0), actual);
  }
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kGolden))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(CaseNames()), [](const auto& info) { return info.param; });

}  // namespace
}  // namespace veltas::testing
