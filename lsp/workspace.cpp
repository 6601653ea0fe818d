#include "lsp/workspace.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace veltas::lsp {

namespace fs = std::filesystem;

namespace {

class TTextInput : public host::TInputFile {
 public:
  explicit TTextInput(std::string text) : Text(std::move(text)) {}
  std::size_t Read(char* buffer, std::size_t n) override {
    n = std::min(n, Text.size() - Pos);
    std::memcpy(buffer, Text.data() + Pos, n);
    Pos += n;
    return n;
  }

 private:
  std::string Text;
  std::size_t Pos = 0;
};

class TNoOutput : public host::TOutputFile {
 public:
  void Write(std::string_view) override {}
  void Close() override {}
};

bool SameLetters(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

bool IsPic(const fs::path& p) { return SameLetters(p.extension().string(), ".pic"); }

}  // namespace

const TDocument* TWorkspace::Find(const std::string& name, bool anyCase) {
  std::string system = host::SystemName(name);
  if (auto it = Open.find(system); it != Open.end()) return &it->second;
  if (anyCase)
    for (const auto& [path, doc] : Open)
      if (SameLetters(path, system)) return &doc;
  return nullptr;
}

bool TWorkspace::IsFile(const std::string& name) { return Find(name, true) || host::DiskFiles().IsFile(name); }

bool TWorkspace::IsFileAsNamed(const std::string& name) {
  return Find(name, false) || host::DiskFiles().IsFileAsNamed(name);
}

std::unique_ptr<host::TInputFile> TWorkspace::OpenRead(const std::string& name, std::string& reason) {
  if (const TDocument* doc = Find(name, true)) return std::make_unique<TTextInput>(source::Utf8ToCp1252(doc->Text));
  return host::DiskFiles().OpenRead(name, reason);
}

std::unique_ptr<host::TOutputFile> TWorkspace::Create(const std::string&) { return std::make_unique<TNoOutput>(); }

std::string TWorkspace::Utf8Text(const std::string& file) {
  if (const TDocument* doc = Find(file, true)) return doc->Text;
  std::string reason, bytes;
  if (auto in = host::DiskFiles().OpenRead(file, reason)) {
    char buffer[65536];
    for (std::size_t n; (n = in->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  }
  return source::Cp1252ToUtf8(bytes);
}

std::vector<std::pair<std::pair<int, int>, std::uint32_t>> TWorkspace::Unmapped(const std::string& file) {
  std::vector<std::pair<std::pair<int, int>, std::uint32_t>> list;
  auto it = Open.find(file);
  if (it == Open.end()) return list;
  std::vector<source::TUnmapped> unmapped;
  std::string text = source::Utf8ToCp1252(it->second.Text, &unmapped);
  int line = 0;
  std::size_t lineStart = 0, scanned = 0;
  for (const source::TUnmapped& u : unmapped) {
    for (; scanned < u.Offset; ++scanned)
      if (text[scanned] == '\n') ++line, lineStart = scanned + 1;
    list.push_back({{line, static_cast<int>(u.Offset - lineStart)}, u.CodePoint});
  }
  return list;
}

std::vector<std::string> TWorkspace::Candidates() {
  std::vector<std::string> list;
  for (const auto& [path, doc] : Open)
    if (IsPic(path)) list.push_back(path);
  constexpr int kMaxEntries = 20000;
  int seen = 0;
  for (const std::string& folder : Folders) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end && ++seen < kMaxEntries; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (it->is_directory(ec) && (name.starts_with(".") || name.starts_with("build") || name == "node_modules")) {
        it.disable_recursion_pending();
        continue;
      }
      if (it->is_regular_file(ec) && IsPic(it->path())) list.push_back(it->path().string());
    }
  }
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  return list;
}

std::string MainOf(const std::string& file, const std::vector<std::string>& mains,
                   const std::map<std::string, std::vector<std::string>>& filesOf) {
  for (const std::string& main : mains) {
    auto it = filesOf.find(main);
    if (it != filesOf.end() && std::find(it->second.begin(), it->second.end(), file) != it->second.end()) return main;
  }
  return file;
}

}  // namespace veltas::lsp
