// The files the server works on: the editor's open buffers (UTF-8) before
// the disk (cp1252), as the host's file system for the assembler, and the
// rule that finds the programs.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/files.h"
#include "source/cp1252.h"

namespace veltas::lsp {

struct TDocument {
  std::string Text;  // UTF-8
  int Version = 0;
};

class TWorkspace : public host::TFileSystem {
 public:
  std::map<std::string, TDocument> Open;  // by path
  std::vector<std::string> Folders;

  bool IsFile(const std::string& name) override;
  bool IsFileAsNamed(const std::string& name) override;
  std::unique_ptr<host::TInputFile> OpenRead(const std::string& name, std::string& reason) override;
  // The outputs of a run go nowhere: the server never writes a file.
  std::unique_ptr<host::TOutputFile> Create(const std::string& name) override;
  void Remove(const std::string&) override {}

  // The UTF-8 text of a file: its buffer, else the disk's cp1252 converted.
  std::string Utf8Text(const std::string& file);
  // The characters of an open buffer that cp1252 lacks, by line (0-based)
  // and character index.
  std::vector<std::pair<std::pair<int, int>, std::uint32_t>> Unmapped(const std::string& file);
  // The .PIC/.pic files of the workspace folders (a bounded walk) and the
  // open ones, sorted.
  std::vector<std::string> Candidates();

 private:
  const TDocument* Find(const std::string& name, bool anyCase);
};

// Which program serves each file: every candidate that no other
// candidate's run read is a main; a file is served by the first main (in
// name order) that read it, else it is its own main.
std::string MainOf(const std::string& file, const std::vector<std::string>& mains,
                   const std::map<std::string, std::vector<std::string>>& filesOf);

}  // namespace veltas::lsp
