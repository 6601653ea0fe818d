// Files on the disk of the machine the program runs on.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <strings.h>
#include <unistd.h>
#endif

#include "host/host.h"

// The definition files of an installation, seen from the programs' directory.
#ifndef VELTAS_DEVICES_FROM_BIN
#define VELTAS_DEVICES_FROM_BIN "../share/veltas/devices"
#endif

namespace veltas::host {

namespace {

std::string SystemReason(int error) { return std::strerror(error); }

}  // namespace

#ifndef _WIN32
std::string SystemName(const std::string& name) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string DiskName(const std::string& name) {
  std::string path = SystemName(name);
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) == 0 || errno != ENOENT) return path;
  std::size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.empty()) return path;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return path;
  std::vector<std::string> matches;
  while (dirent* e = ::readdir(d))
    if (::strcasecmp(base.c_str(), e->d_name) == 0) matches.emplace_back(e->d_name);
  ::closedir(d);
  if (matches.size() != 1) return path;
  return slash == std::string::npos ? matches[0] : dir + matches[0];
}
#else
std::string SystemName(const std::string& name) { return name; }
std::string DiskName(const std::string& name) { return name; }
#endif

namespace {

class TDiskInput : public TInputFile {
 public:
  TDiskInput(std::FILE* f, std::string name) : F(f), Name(std::move(name)) {}
  ~TDiskInput() override { std::fclose(F); }
  std::size_t Read(char* buffer, std::size_t n) override {
    std::size_t got = std::fread(buffer, 1, n, F);
    if (got == 0 && std::ferror(F)) throw TIoError(TIoAction::Read, Name, SystemReason(errno));
    return got;
  }

 private:
  std::FILE* F;
  std::string Name;
};

class TDiskOutput : public TOutputFile {
 public:
  TDiskOutput(std::FILE* f, std::string name) : F(f), Name(std::move(name)) { Pending.reserve(kBufferSize); }
  ~TDiskOutput() override {
    if (!F) return;
    Drain(F);
    std::fclose(F);
  }
  // The listing arrives a line at a time. Collecting the pieces here costs a
  // copy; an fwrite for each of them would cost several times that.
  void Write(std::string_view text) override {
    if (Pending.size() + text.size() > kBufferSize && !Drain(F))
      throw TIoError(TIoAction::Write, Name, SystemReason(errno));
    Pending.append(text);
  }
  void Close() override {
    std::FILE* f = F;
    F = nullptr;
    bool flushed = Drain(f) && std::fflush(f) == 0;
    int flushError = errno;
    bool closed = std::fclose(f) == 0;
    if (!flushed) throw TIoError(TIoAction::Write, Name, SystemReason(flushError));
    if (!closed) throw TIoError(TIoAction::Close, Name, SystemReason(errno));
  }

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;

  // Hands the collected text to the file; false if it can't be written.
  bool Drain(std::FILE* f) {
    bool written = std::fwrite(Pending.data(), 1, Pending.size(), f) == Pending.size();
    Pending.clear();
    return written;
  }

  std::FILE* F;
  std::string Name;
  std::string Pending;
};

bool IsReadable(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

class TDiskFiles : public TFileSystem {
 public:
  bool IsFile(const std::string& name) override { return IsReadable(DiskName(name)); }
  bool IsFileAsNamed(const std::string& name) override { return IsReadable(SystemName(name)); }

  std::unique_ptr<TInputFile> OpenRead(const std::string& name, std::string& reason) override {
    std::string path = DiskName(name);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
      reason = SystemReason(errno);
      return nullptr;
    }
    if (S_ISDIR(st.st_mode)) {
      reason = SystemReason(EISDIR);
      return nullptr;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
      reason = SystemReason(errno);
      return nullptr;
    }
    return std::make_unique<TDiskInput>(f, name);
  }

  std::unique_ptr<TOutputFile> Create(const std::string& name) override {
    std::FILE* f = std::fopen(SystemName(name).c_str(), "wb");
    if (!f) throw TIoError(TIoAction::Create, name, SystemReason(errno));
    return std::make_unique<TDiskOutput>(f, name);
  }

  // Only a file the program wrote goes: a symbolic link or a device that the
  // user put in place of the output stays.
  void Remove(const std::string& given) override {
    std::string name = SystemName(given);
    struct stat st;
#ifdef _WIN32
    bool regular = ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#else
    bool regular = ::lstat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
    if (regular) std::remove(name.c_str());
  }
};

}  // namespace

TFileSystem& DiskFiles() {
  static TDiskFiles files;
  return files;
}

std::string FindDevicesDir() {
  std::string program;
#ifdef _WIN32
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n > 0 && n < sizeof buffer) program.assign(buffer, n);
#else
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n > 0 && static_cast<std::size_t>(n) < sizeof buffer) program.assign(buffer, static_cast<std::size_t>(n));
#endif
  std::string bin = DirectoryPart(program);
  if (bin.empty()) return {};
  for (std::string dir : {bin + VELTAS_DEVICES_FROM_BIN, bin + "devices"}) {
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return dir;
  }
  return {};
}

}  // namespace veltas::host
