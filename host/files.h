// The host's view of files. The run sequence and the source-file stack work
// on this interface; the programs give it the disk, tests give it memory.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltas::host {

enum class TIoAction { Open, Read, Create, Write, Close };

// A failing file operation that ends the run (a run-time I/O error).
class TIoError : public std::runtime_error {
 public:
  TIoError(TIoAction action, std::string file, std::string reason)
      : std::runtime_error("I/O error"), Action(action), File(std::move(file)), Reason(std::move(reason)) {}
  TIoAction Action;
  std::string File;    // as the program named it, in the system's encoding
  std::string Reason;  // the system's words, in the system's encoding
};

class TInputFile {
 public:
  virtual ~TInputFile() = default;
  // Reads up to n bytes; 0 at the end. Throws TIoError when reading fails.
  virtual std::size_t Read(char* buffer, std::size_t n) = 0;
};

class TOutputFile {
 public:
  virtual ~TOutputFile() = default;
  // Buffered; throws TIoError when the data can't be written.
  virtual void Write(std::string_view text) = 0;
  // Flushes and closes; throws TIoError on failure.
  virtual void Close() = 0;
};

class TFileSystem {
 public:
  virtual ~TFileSystem() = default;
  // Whether name is an existing file that could be read (not a directory).
  virtual bool IsFile(const std::string& name) = 0;
  // The same, but only under the name exactly as given (no other letter case).
  virtual bool IsFileAsNamed(const std::string& name) { return IsFile(name); }
  // Opens a file for reading; nullptr (with the reason) if it can't be.
  virtual std::unique_ptr<TInputFile> OpenRead(const std::string& name, std::string& reason) = 0;
  // Creates or truncates a file; throws TIoError on failure.
  virtual std::unique_ptr<TOutputFile> Create(const std::string& name) = 0;
  virtual void Remove(const std::string& name) = 0;
};

// The file system of the machine the program runs on.
TFileSystem& DiskFiles();

// A name as the system opens it: on systems with "/" as separator every "\"
// is opened as "/", so that sources written for systems that separate with
// "\" find their files and put their outputs beside them.
std::string SystemName(const std::string& name);

// The name under which DiskFiles() finds a file. Sources written on systems
// whose names ignore case and use "\" as separator must still find their
// files here: on systems with "/" as separator "\" is opened as "/", and a
// name that does not exist as written stands for the only entry of its
// directory that differs from it in letter case alone. Elsewhere the name is
// unchanged.
std::string DiskName(const std::string& name);

}  // namespace veltas::host
