#include "tests/support/memory_files.h"

#include <algorithm>
#include <cstring>

namespace veltas::testing {

namespace {

class TMemoryInput : public host::TInputFile {
 public:
  explicit TMemoryInput(std::string text) : Text(std::move(text)) {}
  // Small, uneven pieces, so that line reading meets every buffer boundary.
  std::size_t Read(char* buffer, std::size_t n) override {
    std::size_t take = std::min({n, Text.size() - Pos, Chunk});
    std::memcpy(buffer, Text.data() + Pos, take);
    Pos += take;
    Chunk = Chunk % 7 + 3;
    return take;
  }

 private:
  std::string Text;
  std::size_t Pos = 0, Chunk = 5;
};

class TMemoryOutput : public host::TOutputFile {
 public:
  TMemoryOutput(TMemoryFiles& files, std::string name) : Files(files), Name(std::move(name)) {}
  void Write(std::string_view text) override {
    std::string& out = Files.Outputs[Name];
    auto limit = Files.WriteLimit.find(Name);
    if (limit != Files.WriteLimit.end() && out.size() + text.size() > limit->second)
      throw host::TIoError(host::TIoAction::Write, Name, "No space left on device");
    out.append(text);
  }
  void Close() override {}

 private:
  TMemoryFiles& Files;
  std::string Name;
};

}  // namespace

std::unique_ptr<host::TInputFile> TMemoryFiles::OpenRead(const std::string& name, std::string& reason) {
  auto it = Inputs.find(name);
  if (it != Inputs.end()) return std::make_unique<TMemoryInput>(it->second);
  reason = "No such file or directory";
  return nullptr;
}

std::unique_ptr<host::TOutputFile> TMemoryFiles::Create(const std::string& name) {
  if (FailCreate.count(name)) throw host::TIoError(host::TIoAction::Create, name, "Permission denied");
  Outputs[name].clear();
  return std::make_unique<TMemoryOutput>(*this, name);
}

}  // namespace veltas::testing
