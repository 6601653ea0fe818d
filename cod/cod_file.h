// The .COD symbol-and-line file that gpsim reads with -s: 512-byte blocks,
// one directory block per 64 KiB of program memory (the first one also
// names the processor and points to the file names, the line table and the
// symbols), the program words in code blocks of 256 words each, and per
// directory block a memory map of the address ranges that hold program.
// Numbers are little-endian except the symbol values, which are big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltas::cod {

inline constexpr std::size_t BlockSize = 512;
// Limits of the format as gpsim 0.31 reads it.
inline constexpr std::size_t MaxFileName = 63;  // a length byte, 64 bytes in all
inline constexpr std::size_t MaxFiles = 128;    // the file number is read as a signed byte
inline constexpr std::size_t MaxProcessorName = 8;
inline constexpr std::size_t MaxRanges = 127;  // per directory block; gpsim reads one map block
inline constexpr std::uint32_t MaxLineNumber = 65535;

// Symbol types as gpasm writes them.
enum TSymbolType : std::uint16_t {
  SymbolRegister = 2,  // gpsim names the register at this address
  SymbolAddress = 46,  // a label on a program address
  SymbolConstant = 47,
};

struct TCodSymbol {
  std::string Name;  // at most 255 characters
  std::uint16_t Type = SymbolConstant;
  std::uint32_t Value = 0;
};

// One program word at its word address (byte address / 2, as in the HEX
// file, for every core).
struct TCodWord {
  std::uint32_t Address = 0;
  std::uint16_t Word = 0;
};

// The source line of one program word. Address counts in the processor's
// own units: bytes on the 16-bit core, words on the others.
struct TCodLine {
  std::uint32_t Address = 0;
  std::uint8_t File = 0;  // index into TCodImage::Files
  std::uint16_t Line = 0;
};

struct TCodImage {
  std::string Processor;  // gpsim's name without "p" ("16f877a"); empty: none
  std::string Compiler;   // at most 11 characters
  std::string Version;    // at most 18 characters
  std::string Source;     // the main source, at most 63 characters
  std::vector<std::string> Files;
  std::vector<TCodWord> Words;  // ascending addresses, each once
  std::vector<TCodLine> Lines;
  std::vector<TCodSymbol> Symbols;
};

struct TCodFile {
  std::string Bytes;       // the whole file; empty when it can't be written
  std::size_t Blocks = 0;  // how many it has, or would need
  std::size_t Merged = 0;  // address ranges joined to fit one map block
};

// Lays the image out in blocks. Where a 64 KiB part of program memory has
// more than MaxRanges separate ranges, the closest ones are joined: gpsim
// then loads the words between them as 0. Bytes stays empty when the file
// would need more blocks than 16-bit block numbers count.
TCodFile BuildCodFile(const TCodImage& image);

}  // namespace veltas::cod
