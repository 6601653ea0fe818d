#include "cod/cod_file.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <string_view>
#include <utility>

namespace veltas::cod {

namespace {

using TBlock = std::array<std::uint8_t, BlockSize>;      // new blocks are all zero
using TRange = std::pair<std::uint32_t, std::uint32_t>;  // first and last word, counted from the page start

// Offsets in a directory block. A text has its length byte just in front.
constexpr std::size_t kDirSource = 257;
constexpr std::size_t kDirVersion = 331;
constexpr std::size_t kDirCompiler = 351;
constexpr std::size_t kDirNameTable = 430;  // first and last block of a table
constexpr std::size_t kDirLineTable = 434;
constexpr std::size_t kDirHighAddress = 439;
constexpr std::size_t kDirNextDirectory = 441;
constexpr std::size_t kDirMemoryMap = 443;
constexpr std::size_t kDirFileVersion = 451;
constexpr std::size_t kDirProcessor = 454;
constexpr std::size_t kDirSymbolTable = 462;

constexpr std::uint32_t kPageWords = 0x8000;  // 64 KiB of program memory per directory block
constexpr std::uint32_t kBlockWords = BlockSize / 2;
constexpr std::size_t kFileEntry = 64;
constexpr std::size_t kLineEntry = 6;
constexpr std::size_t kLinesPerBlock = 84;
constexpr std::uint8_t kLineHasCode = 0x80;  // the only line entries gpsim takes
constexpr std::size_t kSymbolExtra = 7;      // length byte, 16-bit type, 32-bit value
constexpr std::size_t kMaxBlocks = 0x10000;

void Put16(TBlock& b, std::size_t at, std::uint32_t value) {
  b[at] = static_cast<std::uint8_t>(value);
  b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A length byte at `at`, then at most max characters.
void PutText(TBlock& b, std::size_t at, std::string_view text, std::size_t max) {
  text = text.substr(0, max);
  b[at] = static_cast<std::uint8_t>(text.size());
  std::copy(text.begin(), text.end(), b.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

struct TDirectory {
  TBlock Dir{};
  std::map<std::uint32_t, TBlock> Code;  // by block index within the page
  std::vector<TRange> Ranges;
  std::vector<TBlock> Lines;
  std::size_t LineCount = 0;
  TBlock Map{};
};

// Joins the ranges with the smallest gaps (the lower one first on a tie)
// until MaxRanges remain; returns how many were joined.
std::size_t JoinRanges(std::vector<TRange>& ranges) {
  if (ranges.size() <= MaxRanges) return 0;
  std::size_t excess = ranges.size() - MaxRanges;
  std::vector<std::size_t> gaps(ranges.size() - 1);
  std::iota(gaps.begin(), gaps.end(), 0);
  auto width = [&](std::size_t i) { return ranges[i + 1].first - ranges[i].second; };
  std::stable_sort(gaps.begin(), gaps.end(), [&](std::size_t a, std::size_t b) { return width(a) < width(b); });
  std::vector<bool> closed(ranges.size() - 1, false);
  for (std::size_t i = 0; i < excess; ++i) closed[gaps[i]] = true;
  std::vector<TRange> joined{ranges[0]};
  for (std::size_t i = 1; i < ranges.size(); ++i) {
    if (closed[i - 1])
      joined.back().second = ranges[i].second;
    else
      joined.push_back(ranges[i]);
  }
  ranges = std::move(joined);
  return excess;
}

std::vector<TBlock> NameBlocks(const std::vector<std::string>& files) {
  std::vector<TBlock> blocks((files.size() + BlockSize / kFileEntry - 1) / (BlockSize / kFileEntry));
  for (std::size_t i = 0; i < files.size(); ++i)
    PutText(blocks[i * kFileEntry / BlockSize], i * kFileEntry % BlockSize, files[i], MaxFileName);
  return blocks;
}

// Each symbol: length, name, type, value. A block always keeps a zero byte
// behind its last symbol, where readers stop.
std::vector<TBlock> SymbolBlocks(const std::vector<TCodSymbol>& symbols) {
  std::vector<TBlock> blocks;
  std::size_t at = BlockSize;
  for (const TCodSymbol& s : symbols) {
    std::string_view name = std::string_view(s.Name).substr(0, 255);
    if (at + name.size() + kSymbolExtra >= BlockSize) {
      blocks.emplace_back();
      at = 0;
    }
    TBlock& b = blocks.back();
    PutText(b, at, name, name.size());
    Put16(b, at + 1 + name.size(), s.Type);
    for (int k = 0; k < 4; ++k)
      b[at + 3 + name.size() + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(s.Value >> (24 - 8 * k));
    at += name.size() + kSymbolExtra;
  }
  return blocks;
}

// The first and last block number of a table, or none.
void PutTable(TBlock& dir, std::size_t at, std::size_t count, std::size_t& next) {
  if (count == 0) return;
  Put16(dir, at, static_cast<std::uint32_t>(next));
  next += count;
  Put16(dir, at + 2, static_cast<std::uint32_t>(next - 1));
}

void Append(std::string& bytes, const TBlock& b) { bytes.append(b.begin(), b.end()); }

}  // namespace

TCodFile BuildCodFile(const TCodImage& image) {
  TCodFile result;
  // The first directory block is the one for the lowest 64 KiB: gpsim takes
  // the file names, the line table and the symbols only from it.
  std::map<std::uint32_t, TDirectory> dirs;
  dirs[0];
  for (const TCodWord& w : image.Words) {
    TDirectory& d = dirs[w.Address / kPageWords];
    std::uint32_t offset = w.Address % kPageWords;
    Put16(d.Code[offset / kBlockWords], offset % kBlockWords * 2, w.Word);
    if (!d.Ranges.empty() && d.Ranges.back().second + 1 == offset)
      d.Ranges.back().second = offset;
    else
      d.Ranges.emplace_back(offset, offset);
  }
  for (const TCodLine& line : image.Lines) {
    TDirectory& d = dirs[line.Address >> 16];
    std::size_t slot = d.LineCount++ % kLinesPerBlock;
    if (slot == 0) d.Lines.emplace_back();
    TBlock& b = d.Lines.back();
    b[slot * kLineEntry] = line.File;
    b[slot * kLineEntry + 1] = kLineHasCode;
    Put16(b, slot * kLineEntry + 2, line.Line);
    Put16(b, slot * kLineEntry + 4, line.Address & 0xFFFF);
  }
  // Every directory block gets a map, an empty one too: gpsim stops loading
  // code at the first directory block without one.
  for (auto& [page, d] : dirs) {
    result.Merged += JoinRanges(d.Ranges);
    for (std::size_t i = 0; i < d.Ranges.size(); ++i) {
      Put16(d.Map, 4 * i, d.Ranges[i].first * 2);
      Put16(d.Map, 4 * i + 2, d.Ranges[i].second * 2 + 1);
    }
  }
  std::vector<TBlock> names = NameBlocks(image.Files);
  std::vector<TBlock> symbols = SymbolBlocks(image.Symbols);

  std::size_t next = dirs.size();
  for (auto& [page, d] : dirs) next += d.Code.size() + d.Lines.size() + 1;
  result.Blocks = next + names.size() + symbols.size();
  if (result.Blocks > kMaxBlocks) return result;

  // Block numbers in the order the blocks follow in the file: directories,
  // code, file names, line tables, memory maps, symbols.
  next = 0;
  for (auto& [page, d] : dirs) {
    ++next;
    Put16(d.Dir, kDirNextDirectory, next < dirs.size() ? static_cast<std::uint32_t>(next) : 0);
    Put16(d.Dir, kDirHighAddress, page);
    Put16(d.Dir, kDirFileVersion, 1);
  }
  for (auto& [page, d] : dirs)
    for (auto& [index, code] : d.Code) Put16(d.Dir, 2 * index, static_cast<std::uint32_t>(next++));
  TBlock& main = dirs[0].Dir;
  PutTable(main, kDirNameTable, names.size(), next);
  for (auto& [page, d] : dirs) PutTable(d.Dir, kDirLineTable, d.Lines.size(), next);
  for (auto& [page, d] : dirs) PutTable(d.Dir, kDirMemoryMap, 1, next);
  PutTable(main, kDirSymbolTable, symbols.size(), next);
  PutText(main, kDirSource - 1, image.Source, MaxFileName);
  PutText(main, kDirVersion - 1, image.Version, 18);
  PutText(main, kDirCompiler - 1, image.Compiler, 11);
  PutText(main, kDirProcessor - 1, image.Processor, MaxProcessorName);

  result.Bytes.reserve(result.Blocks * BlockSize);
  for (auto& [page, d] : dirs) Append(result.Bytes, d.Dir);
  for (auto& [page, d] : dirs)
    for (auto& [index, code] : d.Code) Append(result.Bytes, code);
  for (const TBlock& b : names) Append(result.Bytes, b);
  for (auto& [page, d] : dirs)
    for (const TBlock& b : d.Lines) Append(result.Bytes, b);
  for (auto& [page, d] : dirs) Append(result.Bytes, d.Map);
  for (const TBlock& b : symbols) Append(result.Bytes, b);
  return result;
}

}  // namespace veltas::cod
