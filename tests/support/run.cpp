#include "tests/support/run.h"

namespace veltas::testing {

TRun RunProgram(const std::map<std::string, std::string>& files, std::vector<std::string> args) {
  TMemoryFiles disk;
  disk.Inputs = files;
  TFakeWindow window;
  TRun run;
  run.Result = driver::RunSequence(args, window, disk);
  run.Status = driver::StatusText.Raw();
  run.Hex = disk.Outputs[driver::HexName];
  run.Prn = disk.Outputs[driver::PrnName];
  return run;
}

std::map<std::uint32_t, std::uint8_t> HexBytes(const std::string& hex) {
  std::map<std::uint32_t, std::uint8_t> bytes;
  std::uint32_t upper = 0;
  for (std::size_t pos = hex.find(':'); pos != std::string::npos; pos = hex.find(':', pos + 1)) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(std::stoul(hex.substr(pos + 1 + 2 * i, 2), nullptr, 16)); };
    std::uint32_t count = byte(0), address = upper + (byte(1) << 8 | byte(2));
    if (byte(3) == 4) upper = (byte(4) << 8 | byte(5)) << 16;
    for (std::uint32_t i = 0; byte(3) == 0 && i < count; ++i) bytes[address + i] = static_cast<std::uint8_t>(byte(4 + i));
  }
  return bytes;
}

std::map<std::uint32_t, std::uint16_t> HexWords(const std::string& hex) {
  std::map<std::uint32_t, std::uint16_t> words;
  for (auto [address, byte] : HexBytes(hex)) words[address / 2] |= static_cast<std::uint16_t>(byte << (address % 2 * 8));
  return words;
}

std::string Cp1252(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    auto c = static_cast<unsigned char>(utf8[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size())
      out += static_cast<char>((c & 0x1F) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string Utf8(const std::string& cp1252) {
  std::string out;
  for (char c : cp1252) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) out += c;
    else out += {static_cast<char>(0xC0 | b >> 6), static_cast<char>(0x80 | (b & 0x3F))};
  }
  return out;
}

}  // namespace veltas::testing
