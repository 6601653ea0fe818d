// What a run read, for build systems: a file system that remembers every
// file it opened for reading, and the make rule that names them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/files.h"

namespace veltas::host {

// Forwards to another file system and remembers each name that OpenRead
// opened successfully, once, in the order first opened. The main source is
// opened by every pass, include files by every pass that reaches them.
class TRecordingFiles : public TFileSystem {
 public:
  explicit TRecordingFiles(TFileSystem& inner) : Inner(inner) {}
  bool IsFile(const std::string& name) override { return Inner.IsFile(name); }
  bool IsFileAsNamed(const std::string& name) override { return Inner.IsFileAsNamed(name); }
  std::unique_ptr<TInputFile> OpenRead(const std::string& name, std::string& reason) override;
  std::unique_ptr<TOutputFile> Create(const std::string& name) override { return Inner.Create(name); }
  void Remove(const std::string& name) override { Inner.Remove(name); }
  const std::vector<std::string>& Read() const { return Names; }

 private:
  TFileSystem& Inner;
  std::vector<std::string> Names;
};

// A file name as make reads it in a rule: blanks and tabs, "#" and "$"
// escaped the way make undoes (backslashes in front of a blank doubled).
std::string EscapeForMake(const std::string& name);

// The dependency rule of one run: "targets: inputs" on one line, then an
// empty rule for every input but the first (the main source), so that make
// does not fail when an include file is deleted. Lines end with LF.
std::string MakeDependencyRule(const std::vector<std::string>& targets, const std::vector<std::string>& inputs);

}  // namespace veltas::host
