// An in-memory file system for tests and the fuzzer: sources are strings,
// outputs are captured, and failing outputs can be staged.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "host/files.h"

namespace veltas::testing {

class TMemoryFiles : public host::TFileSystem {
 public:
  std::map<std::string, std::string> Inputs;
  std::map<std::string, std::string> Outputs;
  // Outputs that can't be created, and outputs whose writes fail beyond a size.
  std::set<std::string> FailCreate;
  std::map<std::string, std::size_t> WriteLimit;

  bool IsFile(const std::string& name) override { return Inputs.count(name) != 0; }
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override;
  std::unique_ptr<host::TOutputFile> Create(const std::string& name) override;
  void Remove(const std::string& name) override { Outputs.erase(name); }
};

}  // namespace veltas::testing
