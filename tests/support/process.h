// Runs a built program in a scratch directory and captures what it says.
#pragma once

#include <string>
#include <vector>

namespace veltas::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TScratchDir {
 public:
  TScratchDir();
  ~TScratchDir();
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const std::string& Path() const { return Dir; }
  std::string operator/(const std::string& name) const { return Dir + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::string Dir;
};

struct TProcessResult {
  int ExitStatus = -1;  // -1 if it did not exit normally
  std::string Out, Err;
};

// Runs program (looked up in PATH unless it names a directory) with args in
// directory cwd, standard input empty or the file input there.
TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                          const std::string& input = "/dev/null");

}  // namespace veltas::testing
