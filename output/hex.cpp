#include "output/hex.h"

#include <algorithm>
#include <string>

#include "source/host_hooks.h"
#include "state/state.h"

namespace veltas::output {

std::array<std::uint8_t, 21> HexRecord{};
int HexCount = 0;
std::uint32_t HexNextAddress = 0;
std::uint32_t HexUpperAddress = 0;

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kDataStart = 4;
constexpr int kMaxData = 16;

void ClearRecord() { HexRecord.fill(0); }

}  // namespace

void HexReset() {
  ClearRecord();
  HexCount = 0;
  HexNextAddress = 0;
  HexUpperAddress = 0;
}

void HexWriteLine() {
  using state::CodeLength;
  if (state::HasConfigByte) HexPutByte(state::ConfigByteValue, state::ConfigByteAddress);
  // Reserved words (DS in the CODE segment) are a gap: nothing to write.
  if (CodeLength == 0 || state::CodeIsGap) return;
  std::uint32_t address = 2u * state::CodeCounter;
  std::size_t words = std::min<std::size_t>(CodeLength, state::MaxCodeWords);
  for (std::size_t k = 0; k < words; ++k) {
    std::uint16_t w = state::CodeWords[k];
    HexPutByte(static_cast<std::uint8_t>(w & 0xFF), address + 2 * static_cast<std::uint32_t>(k));
    HexPutByte(static_cast<std::uint8_t>(w >> 8), address + 2 * static_cast<std::uint32_t>(k) + 1);
  }
}

void HexPutByte(std::uint8_t value, std::uint32_t address) {
  if (HexCount == 0) {
    HexStartRecord(address);
  } else if (address != HexNextAddress) {
    HexFlushRecord();
    HexStartRecord(address);
  }
  HexRecord[static_cast<std::size_t>(kDataStart + HexCount)] = value;
  ++HexCount;
  ++HexNextAddress;
  HexRecord[0] = static_cast<std::uint8_t>(HexCount);
  if (HexCount == kMaxData) {
    HexFlushRecord();
    HexCount = 0;
  }
}

void HexStartRecord(std::uint32_t address) {
  ClearRecord();
  if ((address & 0xFFFF0000u) != (HexUpperAddress & 0xFFFF0000u)) {
    HexRecord[0] = 2;
    HexRecord[3] = 0x04;
    HexRecord[4] = static_cast<std::uint8_t>(address >> 24);
    HexRecord[5] = static_cast<std::uint8_t>(address >> 16);
    HexCount = 2;
    HexFlushRecord();
    ClearRecord();
    HexUpperAddress = address & 0xFFFF0000u;
  }
  HexRecord[1] = static_cast<std::uint8_t>(address >> 8);
  HexRecord[2] = static_cast<std::uint8_t>(address);
  HexNextAddress = address;
  HexCount = 0;
}

void HexFlushRecord() {
  std::size_t length = static_cast<std::size_t>(HexCount) + kDataStart;
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < length; ++i) sum = static_cast<std::uint8_t>(sum + HexRecord[i]);
  HexRecord[length] = static_cast<std::uint8_t>(0u - sum);
  std::string text(":");
  for (std::size_t i = 0; i <= length; ++i) {
    text.push_back(kHexDigits[HexRecord[i] >> 4]);
    text.push_back(kHexDigits[HexRecord[i] & 0xF]);
  }
  text += "\r\n";
  source::Hooks.WriteHex(text);
}

void HexFinish() {
  if (HexCount != 0) HexFlushRecord();
  source::Hooks.WriteHex(":00000001FF\r\n");
}

}  // namespace veltas::output
