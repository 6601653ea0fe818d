// An in-memory file system for tests and the fuzzer: sources and include
// files are strings, output files are captured, and failures can be staged.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/files.h"

namespace veltas::testing {

class TMemoryFiles : public host::TFileSystem {
 public:
  // Files that can be read.
  std::map<std::string, std::string> Inputs;
  // Names that exist but are directories.
  std::set<std::string> Directories;
  // What was written to each output file (kept after a failed close too).
  std::map<std::string, std::string> Outputs;
  // Output names whose creation fails, and names whose writes fail once
  // more than WriteLimit bytes were written.
  std::set<std::string> FailCreate;
  std::map<std::string, std::size_t> WriteLimit;
  // Every name opened for reading, in order.
  std::vector<std::string> Opened;

  bool IsFile(const std::string& name) override;
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override;
  std::unique_ptr<host::TOutputFile> Create(const std::string& name) override;
  void Remove(const std::string& name) override;
};

}  // namespace veltas::testing
