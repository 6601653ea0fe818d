#include "tests/support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace veltas::testing {

namespace fs = std::filesystem;

TScratchDir::TScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "veltas-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Dir = pattern;
}

TScratchDir::~TScratchDir() {
  std::error_code ec;
  fs::remove_all(Dir, ec);
}

void TScratchDir::Write(const std::string& name, const std::string& bytes) const {
  fs::path path = fs::path(Dir) / name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string TScratchDir::Read(const std::string& name) const {
  std::ifstream in(fs::path(Dir) / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TScratchDir::Exists(const std::string& name) const { return fs::exists(fs::path(Dir) / name); }

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& cwd) {
  TScratchDir capture;
  std::string outName = capture / "stdout", errName = capture / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  TProcessResult result;
  if (rc != 0) return result;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.ExitStatus = WEXITSTATUS(status);
  result.Out = capture.Read("stdout");
  result.Err = capture.Read("stderr");
  return result;
}

}  // namespace veltas::testing
