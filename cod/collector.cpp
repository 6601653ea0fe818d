#include "cod/collector.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <unordered_map>

#include "cod/cod_file.h"
#include "host/files.h"
#include "host/host.h"
#include "isa/table.h"
#include "passes/passes.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::cod {

namespace {

namespace fs = std::filesystem;

// Word addresses a line can reach: the counter wraps only between lines, so
// a line that starts at the last address runs on above it.
constexpr std::size_t kWordSpace = 0x10000 + state::MaxCodeWords;

// What pass 2 assembled, by word address. File < 0: no program word there.
struct TCollected {
  std::vector<std::uint16_t> Word;
  std::vector<std::int32_t> Line;
  std::vector<std::int32_t> File;
  std::vector<std::uint8_t> Offset;  // of the word within its line's words
  std::vector<std::string> Files;    // names as the host opened them
  std::unordered_map<std::string, std::int32_t> FileIndex;
  std::string LastName;
  std::int32_t LastFile = -1;
};

TCollected Collected;

void CollectLine() {
  const std::string& name = host::SourceFiles[static_cast<std::size_t>(source::IncludeDepth)].Name;
  if (Collected.LastFile < 0 || name != Collected.LastName) {
    auto [it, added] = Collected.FileIndex.try_emplace(name, static_cast<std::int32_t>(Collected.Files.size()));
    if (added) Collected.Files.push_back(name);
    Collected.LastName = name;
    Collected.LastFile = it->second;
  }
  std::size_t words = std::min<std::size_t>(state::CodeLength, state::MaxCodeWords);
  for (std::size_t k = 0; k < words; ++k) {
    std::size_t at = state::CodeCounter + k;
    Collected.Word[at] = state::CodeWords[k];
    Collected.Line[at] = source::LineNumber;
    Collected.File[at] = Collected.LastFile;
    Collected.Offset[at] = static_cast<std::uint8_t>(k);
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsLetter(char c) { return IsLower(c) || (c >= 'A' && c <= 'Z'); }

// gpsim's spelling: lower case, without "pic" or a "p" in front of a digit.
std::string GpsimName(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (name.rfind("pic", 0) == 0)
    name.erase(0, 3);
  else if (name.size() > 1 && name[0] == 'p' && IsDigit(name[1]))
    name.erase(0, 1);
  return name;
}

// What a processor definition file defines: "__16F877A: EQU 1".
bool IsProcessorSymbol(const symbols::TSymbol& s) {
  const std::string& n = s.Name;
  if (s.Segment != symbols::SymConstant || s.ValueType != symbols::TypeInteger || s.Value != 1) return false;
  if (n.size() < 5 || n.compare(0, 2, "__") != 0 || !IsDigit(n[2]) || !IsDigit(n[3]) || !IsLetter(n[4])) return false;
  return std::all_of(n.begin() + 2, n.end(), [](char c) { return IsDigit(c) || IsLetter(c); });
}

// The processor field, or empty with the reason in why.
std::string ProcessorName(const std::string& given, std::string& why) {
  std::string name;
  if (!given.empty()) {
    name = GpsimName(given);
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return IsDigit(c) || IsLower(c); })) {
      why = "\"" + given + "\" ist kein Prozessorname";
      return {};
    }
  } else {
    std::vector<std::string> found;
    for (std::size_t i = symbols::SymbolCount(); i-- > 0;)
      if (IsProcessorSymbol(symbols::SymbolNewestFirst(i))) found.push_back(symbols::SymbolNewestFirst(i).Name);
    if (found.empty()) {
      why = "weder --processor noch ein Symbol wie __16F877A";
      return {};
    }
    if (found.size() > 1) {
      why = "mehrere Symbole: " + found[0] + ", " + found[1] + (found.size() > 2 ? ", ..." : "");
      return {};
    }
    name = GpsimName(found[0].substr(2));
  }
  if (name.size() > MaxProcessorName) {
    why = "\"" + name + "\" hat mehr als 8 Zeichen";
    return {};
  }
  return name;
}

// The name gpsim opens a source file by: relative to the directory of the
// .COD file, or absolute where that is shorter than the field; empty when
// neither fits. Symbolic links in the directories are resolved, so that
// ".." steps lead where the disk leads.
std::string TableName(const std::string& opened, const fs::path& codDir) {
  std::error_code ec;
  fs::path file = fs::absolute(fs::path(host::DiskName(opened)), ec);
  if (ec) return {};
  fs::path dir = fs::weakly_canonical(file.parent_path(), ec);
  if (!ec) file = dir / file.filename();
  file = file.lexically_normal();
  std::string relative = file.lexically_relative(codDir).generic_string();
  if (!relative.empty() && relative.size() <= MaxFileName) return relative;
  std::string absolute = file.generic_string();
  return absolute.size() <= MaxFileName ? absolute : std::string();
}

fs::path CodDirectory(const std::string& codName) {
  fs::path dir = fs::path(codName).parent_path();
  std::error_code ec;
  fs::path absolute = fs::absolute(dir.empty() ? fs::path(".") : dir, ec);
  fs::path resolved = fs::weakly_canonical(absolute, ec);
  return (ec ? absolute : resolved).lexically_normal();
}

// gpsim -s does not load a file without a processor, and gpsim 0.31's
// "load" takes a file for a .COD file only when its name ends in ".cod" in
// lower case.
std::string NoProcessorNote(const std::string& cod, const std::string& why) {
  fs::path path(cod);
  std::string lower = (path.parent_path() / path.stem()).generic_string() + ".cod";
  std::string link = "ln -s " + path.filename().string() + " " + lower;
  return cod + " nennt keinen Prozessor (" + why + "); gpsim -s lädt sie so nicht. --processor NAME behebt das; " +
         "sonst braucht gpsim ein Skript (gpsim -c SKRIPT) mit \"processor p16f877a\" (der passende Prozessor) und " +
         "\"load " + lower +
         "\", und gpsim 0.31 lädt so nur Namen auf \".cod\" in Kleinbuchstaben (unter Linux: " + link + ")";
}

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Some(const std::vector<std::string>& names) {
  std::string text = "\"" + names[0] + "\"";
  if (names.size() > 1) text += " und " + std::to_string(names.size() - 1) + " weitere";
  return text;
}

// The file table: every file read, each name once. Files with program words
// come first where more than MaxFiles would be named. gpsim takes a name as
// already known when an earlier one ends with it, so shorter names go
// first. Returns the table index of each file, -1 for a file left out.
std::vector<int> FileTable(const std::vector<std::string>& opened, const std::vector<bool>& hasCode,
                           const fs::path& codDir, const std::string& codName, TCodImage& image,
                           std::vector<std::string>& notes) {
  struct TEntry {
    std::string Name;
    bool Code = false;
  };
  std::vector<TEntry> entries;
  std::unordered_map<std::string, std::size_t> byName;
  std::vector<int> entryOf(opened.size(), -1);
  std::vector<std::string> tooLong, tooMany;
  for (std::size_t i = 0; i < opened.size(); ++i) {
    std::string name = TableName(opened[i], codDir);
    if (name.empty()) {
      // A file without program words has no line in the file: nothing lost.
      if (hasCode[i]) tooLong.push_back(opened[i]);
      continue;
    }
    auto [it, added] = byName.try_emplace(name, entries.size());
    if (added) entries.push_back({name});
    entries[it->second].Code = entries[it->second].Code || hasCode[i];
    entryOf[i] = static_cast<int>(it->second);
  }
  std::vector<std::size_t> kept(entries.size());
  for (std::size_t i = 0; i < kept.size(); ++i) kept[i] = i;
  std::stable_partition(kept.begin(), kept.end(), [&](std::size_t e) { return entries[e].Code; });
  for (std::size_t i = MaxFiles; i < kept.size(); ++i) tooMany.push_back(entries[kept[i]].Name);
  if (kept.size() > MaxFiles) kept.resize(MaxFiles);
  std::stable_sort(kept.begin(), kept.end(),
                   [&](std::size_t a, std::size_t b) { return entries[a].Name.size() < entries[b].Name.size(); });
  std::vector<int> idOfEntry(entries.size(), -1);
  for (std::size_t id = 0; id < kept.size(); ++id) {
    idOfEntry[kept[id]] = static_cast<int>(id);
    image.Files.push_back(entries[kept[id]].Name);
  }
  if (!tooLong.empty())
    notes.push_back(Some(tooLong) + " fehlt in " + codName +
                    ": der Name wäre auch absolut länger als 63 Zeichen; gpsim zeigt diese Zeilen nicht");
  if (!tooMany.empty())
    notes.push_back(codName + " nennt höchstens 128 Quelldateien; es fehlen " + Some(tooMany) +
                    "; gpsim zeigt ihre Zeilen nicht");
  std::vector<int> ids(opened.size(), -1);
  for (std::size_t i = 0; i < opened.size(); ++i)
    if (entryOf[i] >= 0) ids[i] = idOfEntry[static_cast<std::size_t>(entryOf[i])];
  return ids;
}

std::vector<TCodSymbol> Symbols(bool core16) {
  std::vector<TCodSymbol> list;
  for (std::size_t i = symbols::SymbolCount(); i-- > 0;) {
    const symbols::TSymbol& s = symbols::SymbolNewestFirst(i);
    auto value = static_cast<std::uint32_t>(s.Value);
    switch (s.Segment) {
      case symbols::SymCode: list.push_back({s.Name, SymbolAddress, core16 ? 2 * value : value}); break;
      case symbols::SymRam: list.push_back({s.Name, SymbolRegister, value}); break;
      case symbols::SymConstant: list.push_back({s.Name, SymbolConstant, value}); break;
      default: break;  // bit names have no place in the format
    }
  }
  return list;
}

}  // namespace

void StartCollecting() {
  Collected = TCollected{};
  Collected.Word.assign(kWordSpace, 0);
  Collected.Line.assign(kWordSpace, 0);
  Collected.File.assign(kWordSpace, -1);
  Collected.Offset.assign(kWordSpace, 0);
  passes::CodeLineObserver = CollectLine;
}

void StopCollecting() { passes::CodeLineObserver = nullptr; }

TCodOutcome MakeCodFile(const TCodRequest& request) {
  TCodOutcome outcome;
  const std::string& cod = request.CodName;
  TCodImage image;
  image.Compiler = "Veltas";
  image.Version = request.Version;
  std::string why;
  image.Processor = ProcessorName(request.Processor, why);
  if (image.Processor.empty()) outcome.Notes.push_back(NoProcessorNote(cod, why));

  // The files: those the run read, then any the host named otherwise.
  std::vector<std::string> opened = request.FilesRead;
  std::unordered_map<std::string, std::size_t> openedIndex;
  for (std::size_t i = opened.size(); i-- > 0;) openedIndex[opened[i]] = i;
  std::vector<std::size_t> openedOf(Collected.Files.size());
  for (std::size_t f = 0; f < Collected.Files.size(); ++f) {
    auto [it, added] = openedIndex.try_emplace(Collected.Files[f], opened.size());
    if (added) opened.push_back(Collected.Files[f]);
    openedOf[f] = it->second;
  }
  std::vector<bool> hasCode(opened.size(), false);
  for (std::size_t f : openedOf) hasCode[f] = true;
  std::vector<int> ids = FileTable(opened, hasCode, CodDirectory(cod), cod, image, outcome.Notes);
  if (!opened.empty() && ids[0] >= 0) image.Source = image.Files[static_cast<std::size_t>(ids[0])];

  bool core16 = isa::CoreKind == isa::Core16;
  std::size_t lineTooHigh = 0;
  for (std::size_t at = 0; at < kWordSpace; ++at) {
    if (Collected.File[at] < 0) continue;
    image.Words.push_back({static_cast<std::uint32_t>(at), Collected.Word[at]});
    int id = ids[openedOf[static_cast<std::size_t>(Collected.File[at])]];
    if (id < 0) continue;
    std::int32_t line = Collected.Line[at];
    if (line < 1 || static_cast<std::uint32_t>(line) > MaxLineNumber) {
      ++lineTooHigh;
      continue;
    }
    auto address = static_cast<std::uint32_t>(core16 ? 2 * at : at);
    // The line is already told where it starts. Told again in the next
    // directory block, gpvc 1.4.0 reads the line twice and stops at an
    // assertion when it is the last one of its file.
    std::size_t start = at - Collected.Offset[at];
    if ((address >> 16) != (core16 ? 2 * start : start) >> 16) continue;
    image.Lines.push_back({address, static_cast<std::uint8_t>(id), static_cast<std::uint16_t>(line)});
  }
  if (lineTooHigh != 0)
    outcome.Notes.push_back(cod + " nennt die Quellzeile von " +
                            Counted(lineTooHigh, "Programmwort", "Programmwörtern") +
                            " aus Zeilen über 65535 nicht: das Format zählt Zeilen nur bis 65535");
  image.Symbols = Symbols(core16);

  TCodFile file = BuildCodFile(image);
  if (file.Bytes.empty()) {
    outcome.Error = "kann " + cod + " nicht schreiben: sie bräuchte " + std::to_string(file.Blocks) +
                    " Blöcke zu 512 Byte, das Format zählt nur 65536 (zu viele Symbole)";
    return outcome;
  }
  if (file.Merged != 0)
    outcome.Notes.push_back(cod + ": " + Counted(file.Merged, "Lücke", "Lücken") +
                            " zwischen Programmbereichen geschlossen, gpsim liest nur 127 Bereiche je 64 KiB; "
                            "dort lädt es Nullwörter");
  outcome.Bytes = std::move(file.Bytes);
  return outcome;
}

}  // namespace veltas::cod
