#include "tests/support/process.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace veltas::testing {

namespace fs = std::filesystem;

TScratchDir::TScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "veltas-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Dir = pattern;
}

TScratchDir::~TScratchDir() {
  std::error_code ignored;
  fs::remove_all(Dir, ignored);
}

void TScratchDir::Write(const std::string& name, const std::string& bytes) const {
  fs::create_directories((fs::path(Dir) / name).parent_path());
  std::ofstream(fs::path(Dir) / name, std::ios::binary) << bytes;
}

std::string TScratchDir::Read(const std::string& name) const {
  std::ostringstream text;
  text << std::ifstream(fs::path(Dir) / name, std::ios::binary).rdbuf();
  return text.str();
}

bool TScratchDir::Exists(const std::string& name) const { return fs::exists(fs::path(Dir) / name); }

namespace {

// A word for the shell, whatever bytes it holds.
std::string Quoted(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                          const std::string& input) {
  TScratchDir capture;
  std::string command = "cd " + Quoted(cwd) + " && exec " + Quoted(program);
  for (const std::string& a : args) command += " " + Quoted(a);
  command += " <" + Quoted(input) + " >" + Quoted(capture / "out") + " 2>" + Quoted(capture / "err");
  int status = std::system(command.c_str());
  TProcessResult result;
  if (WIFEXITED(status)) result.ExitStatus = WEXITSTATUS(status);
  result.Out = capture.Read("out");
  result.Err = capture.Read("err");
  return result;
}

}  // namespace veltas::testing
