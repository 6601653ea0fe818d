#include "tests/support/assemble.h"

#include <gtest/gtest.h>

#include "symbols/symbols.h"

namespace veltas::testing {

TRun RunProgram(const std::map<std::string, std::string>& files, std::vector<std::string> args) {
  TMemoryFiles disk;
  disk.Inputs = files;
  TFakeWindow window;
  TRun run;
  run.Result = driver::RunSequence(args, window, disk);
  run.Status = driver::StatusText.Raw();
  if (auto it = disk.Outputs.find(driver::HexName); it != disk.Outputs.end()) {
    run.Hex = it->second;
    run.HexWritten = true;
  }
  if (auto it = disk.Outputs.find(driver::PrnName); it != disk.Outputs.end()) {
    run.Prn = it->second;
    run.PrnWritten = true;
  }
  return run;
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::map<std::uint32_t, std::uint16_t> HexWords(const std::string& hex) {
  std::map<std::uint32_t, std::uint8_t> bytes;
  std::uint32_t upper = 0;
  std::size_t pos = 0;
  while (pos < hex.size()) {
    std::size_t end = hex.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "HEX line without CR LF";
    if (end == std::string::npos) break;
    std::string line = hex.substr(pos, end - pos);
    pos = end + 2;
    EXPECT_TRUE(line.size() >= 11 && line[0] == ':' && line.size() % 2 == 1) << line;
    std::vector<std::uint8_t> rec;
    for (std::size_t i = 1; i + 1 < line.size(); i += 2) {
      int hi = HexValue(line[i]), lo = HexValue(line[i + 1]);
      EXPECT_TRUE(hi >= 0 && lo >= 0) << line;
      rec.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    if (rec.size() < 5) continue;
    std::uint8_t sum = 0;
    for (std::uint8_t b : rec) sum = static_cast<std::uint8_t>(sum + b);
    EXPECT_EQ(sum, 0) << "checksum of " << line;
    EXPECT_EQ(rec[0] + 5u, rec.size()) << "length of " << line;
    std::uint32_t address = (rec[1] << 8) | rec[2];
    if (rec[3] == 0x04) upper = static_cast<std::uint32_t>((rec[4] << 8) | rec[5]) << 16;
    if (rec[3] == 0x00)
      for (std::size_t i = 0; i < rec[0]; ++i) bytes[upper + address + static_cast<std::uint32_t>(i)] = rec[4 + i];
  }
  std::map<std::uint32_t, std::uint16_t> words;
  for (auto [address, value] : bytes) {
    std::uint16_t& w = words[address / 2];
    w = static_cast<std::uint16_t>(address % 2 ? (w & 0x00FF) | (value << 8) : (w & 0xFF00) | value);
  }
  return words;
}

TLineResult AssembleLine(const std::string& core, const std::string& line, const std::string& definitions) {
  std::string source = core + "\n" + definitions + "\n__here:\n" + line + "\n";
  TRun run = RunProgram({{"main.pic", source}});
  TLineResult result;
  if (run.Result.Outcome != driver::TRunOutcome::Success) {
    result.Error = run.Result.ErrorMessage;
    result.Position = run.Result.ErrorColumn;
    return result;
  }
  std::uint32_t here = 0;
  for (std::size_t i = 0; i < symbols::SymbolCount(); ++i)
    if (symbols::SymbolNewestFirst(i).Name == "__here") here = static_cast<std::uint32_t>(symbols::SymbolNewestFirst(i).Value);
  auto words = HexWords(run.Hex);
  for (auto it = words.find(here); it != words.end() && it->first == here; ++it, ++here) result.Words.push_back(it->second);
  return result;
}

std::string Cp1252(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC2 && c <= 0xC3 && i + 1 < utf8.size()) {
      out.push_back(static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

}  // namespace veltas::testing
