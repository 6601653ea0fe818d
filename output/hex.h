// Intel HEX writer: packs the code words of each pass-2 line into data
// records of at most 16 bytes, with extended linear address records above
// 64 KiB, as soon as the line is assembled. There is no memory image.
#pragma once

#include <array>
#include <cstdint>

namespace veltas::output {

extern std::array<std::uint8_t, 21> HexRecord;
extern int HexCount;
extern std::uint32_t HexNextAddress;
extern std::uint32_t HexUpperAddress;

void HexReset();
// Sends the current line's CodeLength words at word address CodeCounter, or
// its configuration byte.
void HexWriteLine();
void HexPutByte(std::uint8_t value, std::uint32_t address);
void HexStartRecord(std::uint32_t address);
void HexFlushRecord();
// Writes the open record and the end record.
void HexFinish();

}  // namespace veltas::output
