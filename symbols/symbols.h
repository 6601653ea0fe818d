// The symbol table: code labels, RAM labels, EQU constants and bit names in
// one case-sensitive name space. Built in pass 1, only read afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltas::symbols {

enum TSymbolSegment : std::uint8_t {
  SymCode = 0,      // label in the code segment
  SymRam = 1,       // label in the RAM segment
  SymConstant = 2,  // EQU
  SymBit = 3,       // BIT
};

// Flags of TSymbol::ValueType.
inline constexpr std::uint8_t TypeInteger = 1;
inline constexpr std::uint8_t TypeBitNumber = 2;
inline constexpr std::uint8_t TypeFloat = 4;

struct TSymbol {
  std::string Name;  // at most 64 characters, case kept
  std::uint8_t Segment = SymCode;
  std::uint8_t ValueType = 0;
  std::uint8_t BitNumber = 0;
  std::int32_t Value = 0;
  double FloatValue = 0.0;
  // An EQU or BIT whose definition failed (only when a run goes on after
  // errors): the name is taken, but has no value to use.
  bool Failed = false;
};

// The symbol of the current line, filled by the statement loop and by EQU
// and BIT; AddSymbol enters a copy of it.
extern TSymbol PendingSymbol;
// The record of the last successful FindSymbol or AddSymbol; nullptr after a
// failed lookup.
extern const TSymbol* FoundSymbol;
// Length of the longest name entered since the last ClearSymbols.
extern std::size_t MaxNameLength;

void ClearSymbols();
// Looks a name up exactly (byte for byte). On failure stores
// "Marke nicht gefunden" in ErrorText.
bool FindSymbol(std::string_view name);
// Enters a copy of PendingSymbol as the newest record.
bool AddSymbol();

std::size_t SymbolCount();
// The records from the newest to the oldest: index 0 is the newest.
const TSymbol& SymbolNewestFirst(std::size_t index);

}  // namespace veltas::symbols
