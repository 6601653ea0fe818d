#include "host/host.h"

#include <cstring>
#include <vector>

#include "source/cp1252.h"
#include "source/lines.h"
#include "state/messages.h"
#include "state/state.h"

namespace veltas::host {

std::array<TQuellFile, source::MaxSourceFiles> SourceFiles;
std::string SourceDir;
std::vector<std::string> IncludeDirs;
std::string DevicesDir;

namespace {

TFileSystem* Files = nullptr;
std::unique_ptr<TOutputFile> HexFile;
std::unique_ptr<TOutputFile> ListFile;
bool HexCreated = false;

constexpr char kCtrlZ = 26;

bool ReadSourceLine() {
  TQuellFile& entry = SourceFiles[static_cast<std::size_t>(source::IncludeDepth)];
  source::CurrentLine.clear();
  bool result = false;
  if (entry.File) {
    result = !entry.File->AtEnd();
    entry.File->ReadLine(source::CurrentLine);
  }
  source::LinePos = 1;
  return result;
}

void RewindSource() {
  TQuellFile& main = SourceFiles[0];
  std::string reason;
  std::unique_ptr<TInputFile> file = Files->OpenRead(main.Name, reason);
  if (!file) throw TIoError(TIoAction::Open, main.Name, reason);
  main.File = std::make_unique<TLineReader>(std::move(file));
  source::IncludeDepth = 0;
  source::FileListed[0] = true;
}

bool IsBareName(const std::string& name) {
  for (char c : name)
    if (IsDirectorySeparator(c)) return false;
  return true;
}

// The names an include file is looked for under, in order. On systems that
// speak UTF-8 a cp1252 name such as "Zähler.inc" exists in UTF-8: it is
// tried after the name as written (SourceDir is the system's already).
// Each name is tried as written and then in another letter case, except
// that an exact match of the converted name comes before the other case of
// the name as written.
std::vector<std::string> IncludeCandidates(const std::string& name) {
  std::string prefix = IsBareName(name) ? SourceDir : std::string();
  std::string path = prefix + name;
#ifndef _WIN32
  std::string converted = prefix + source::Cp1252ToUtf8(name);
  if (converted != path && source::IsCp1252Defined(name)) {
    if (!Files->IsFileAsNamed(path) && Files->IsFileAsNamed(converted)) return {converted};
    return {path, converted};
  }
#endif
  return {path};
}

std::string InDirectory(const std::string& dir, const std::string& name) {
  return dir.empty() || IsDirectorySeparator(dir.back()) ? dir + name : dir + "/" + name;
}

bool OpenInclude(const std::string& name, std::int32_t lineNumber) {
  bool bare = IsBareName(name);
  std::vector<std::string> candidates = IncludeCandidates(name);
  std::string path = candidates[0];
  std::string failure(msg::CannotFindFilePrefix.view());
  failure += path;
  failure += msg::CannotFindFileSuffix.view();
  if (source::IncludeDepth + 1 >= source::MaxSourceFiles) {  // the stack is full
    state::SetError(failure);
    return false;
  }
  SourceFiles[static_cast<std::size_t>(source::IncludeDepth)].SavedLine = lineNumber + 1;
  TQuellFile& entry = SourceFiles[static_cast<std::size_t>(source::IncludeDepth + 1)];
  std::string reason;
  std::unique_ptr<TInputFile> file;
  for (const std::string& candidate : candidates)
    if (!file && (file = Files->OpenRead(candidate, reason))) path = candidate;
  // Only where the main source's directory has no such file: the -I
  // directories, then the definition files.
  bool fromDevices = false;
  for (std::size_t i = 0; bare && !file && i < IncludeDirs.size(); ++i)
    file = Files->OpenRead(path = InDirectory(IncludeDirs[i], name), reason);
  if (bare && !file && !DevicesDir.empty()) {
    file = Files->OpenRead(path = InDirectory(DevicesDir, name), reason);
    fromDevices = true;
  }
  if (!file) {
    state::SetError(failure);
    return false;
  }
  ++source::IncludeDepth;
  entry.Name = path;
  entry.File = std::make_unique<TLineReader>(std::move(file));
  source::FileListed[static_cast<std::size_t>(source::IncludeDepth)] = !fromDevices;
  return true;
}

std::int32_t CloseInclude() {
  SourceFiles[static_cast<std::size_t>(source::IncludeDepth)].File.reset();
  --source::IncludeDepth;
  return SourceFiles[static_cast<std::size_t>(source::IncludeDepth)].SavedLine;
}

void WriteHex(std::string_view text) {
  if (HexFile && !text.empty()) HexFile->Write(text);
}

void WriteListing(std::string_view text) {
  if (ListFile && !text.empty()) ListFile->Write(text);
}

}  // namespace

bool TLineReader::Fill() {
  if (Pos < Size) return true;
  if (Eof) return false;
  Size = File->Read(Buffer.get(), kBufferSize);
  Pos = 0;
  if (Size == 0) Eof = true;
  return Size != 0;
}

bool TLineReader::AtEnd() { return !Fill() || Buffer[Pos] == kCtrlZ; }

void TLineReader::ReadLine(std::string& line) {
  line.clear();
  while (Fill()) {
    const char* start = Buffer.get() + Pos;
    std::size_t avail = Size - Pos;
    // Take the run of ordinary characters in one piece. n ends at the first
    // line feed, carriage return or Ctrl-Z: each search looks only in front
    // of what the one before found. memchr is much faster than a loop here,
    // and the source is read twice.
    std::size_t n = avail;
    for (char stop : {'\n', '\r', kCtrlZ}) {
      const char* found = static_cast<const char*>(std::memchr(start, stop, n));
      if (found) n = static_cast<std::size_t>(found - start);
    }
    line.append(start, n);
    Pos += n;
    if (n == avail) continue;
    char c = start[n];
    if (c == kCtrlZ) return;  // never consumed: the file ends here
    ++Pos;
    if (c == '\n') return;
    // c was a carriage return, which is dropped; most are followed by the
    // line feed that ends the line.
    if (Pos < Size && Buffer[Pos] == '\n') {
      ++Pos;
      return;
    }
  }
}

void InstallHooks(TFileSystem& files) {
  Files = &files;
  HexCreated = false;
  CloseSourceFiles();
  AbandonOutputFiles();
  source::Hooks = source::THostHooks{ReadSourceLine, RewindSource, OpenInclude, CloseInclude, WriteHex, WriteListing};
}

void BindMainSource(const std::string& name) {
  SourceFiles[0].Name = name;
  SourceFiles[0].File.reset();
}

void CloseSourceFiles() {
  for (TQuellFile& f : SourceFiles) f.File.reset();
}

std::string CurrentFileName() { return SourceFiles[static_cast<std::size_t>(source::IncludeDepth)].Name; }

void CreateOutputFiles(const std::string& hexName, const std::string& prnName) {
  HexCreated = false;
  if (!hexName.empty()) {
    HexFile = Files->Create(hexName);
    HexCreated = true;
  }
  ListFile = Files->Create(prnName);
}

bool HexFileCreated() { return HexCreated; }

void CloseOutputFiles() {
  std::unique_ptr<TOutputFile> hex = std::move(HexFile), list = std::move(ListFile);
  if (hex) hex->Close();
  if (list) list->Close();
}

void AbandonOutputFiles() {
  HexFile.reset();
  ListFile.reset();
}

bool IsDirectorySeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == ':';
#else
  return c == '\\' || c == ':' || c == '/';
#endif
}

std::string DirectoryPart(const std::string& name) {
  for (std::size_t i = name.size(); i > 0; --i)
    if (IsDirectorySeparator(name[i - 1])) return name.substr(0, i);
  return {};
}

}  // namespace veltas::host
