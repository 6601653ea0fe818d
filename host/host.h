// The host side of the core's file access: the stack of open source files,
// the two output files, and the six operations installed in THostHooks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/files.h"
#include "source/host_hooks.h"

namespace veltas::host {

// Reads a source file line by line: carriage returns are dropped wherever
// they stand, a line feed ends a line, and Ctrl-Z ends the file.
class TLineReader {
 public:
  explicit TLineReader(std::unique_ptr<TInputFile> file) : File(std::move(file)) {}
  // True when no character remains or the next one is Ctrl-Z.
  bool AtEnd();
  // Reads one line without its line end into line (which is emptied first).
  void ReadLine(std::string& line);

 private:
  bool Fill();
  std::unique_ptr<TInputFile> File;
  std::unique_ptr<char[]> Buffer = std::make_unique<char[]>(kBufferSize);
  std::size_t Pos = 0, Size = 0;
  bool Eof = false;
  static constexpr std::size_t kBufferSize = 1 << 16;
};

struct TQuellFile {
  std::string Name;  // as opened, with the directory prefix of an include
  std::unique_ptr<TLineReader> File;
  std::int32_t SavedLine = 0;  // where this file resumes after its include ends
};

extern std::array<TQuellFile, source::MaxSourceFiles> SourceFiles;
// Directory part of the main source name; bare include names are found there.
extern std::string SourceDir;
// Where a bare include name that is not next to the main source is looked
// for next: the directories of veltas-cli's -I options in order, then the
// devices directory with the definition files (empty: none). Set by the
// programs before the run; a file from the devices directory is not listed.
extern std::vector<std::string> IncludeDirs;
extern std::string DevicesDir;

// Installs the six operations over a file system and closes whatever an
// earlier run left open.
void InstallHooks(TFileSystem& files);
// Entry 0 of SourceFiles: the main source, opened by RewindSource.
void BindMainSource(const std::string& name);
void CloseSourceFiles();
std::string CurrentFileName();

// An empty hexName creates the listing alone.
void CreateOutputFiles(const std::string& hexName, const std::string& prnName);
// Whether the last CreateOutputFiles got as far as creating the HEX file.
bool HexFileCreated();
// Closes the HEX file and then the listing; throws TIoError on failure.
void CloseOutputFiles();
// Drops the output files without flushing (after a run-time I/O error).
void AbandonOutputFiles();

// The devices directory that belongs to the running program: share/veltas/
// devices of its installation, or devices/ next to it in the build tree;
// empty if there is neither.
std::string FindDevicesDir();

// Directory part of a name: up to and including its last separator.
std::string DirectoryPart(const std::string& name);
bool IsDirectorySeparator(char c);

}  // namespace veltas::host
