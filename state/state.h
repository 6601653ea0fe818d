// Pass and statement state shared by the statement loop, the handlers of the
// mnemonic table and the output writers. All of it is global on purpose: the
// handlers take no arguments and talk to each other through these variables.
// Every pass resets what it uses at its start, so the core can run any number
// of times in one process.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltas::state {

// The one error slot. Empty means no error; the first failing statement ends
// the pass. Always written through SetError, which keeps the 80-character cut.
extern std::string ErrorText;
inline constexpr std::size_t MaxErrorLength = 80;
void SetError(std::string_view message);
inline bool Failed() { return !ErrorText.empty(); }
void ClearError();

// How many errors a run reports before it stops: 1 (the default) stops at
// the first, as the passes always did; 0 means no limit. With any other
// value the passes go on after a failing statement.
extern int ErrorLimit;
inline bool GoesOnAfterErrors() { return ErrorLimit != 1; }
// Whether the message in ErrorText only follows from a name whose
// definition failed earlier: the statement fails without being reported.
// Any later SetError makes it a real error again.
extern bool FollowOnError;
void SetFollowOnError(std::string_view message);

inline constexpr std::size_t MaxCodeWords = 128;

enum TSegment : std::uint8_t { SegCode = 0, SegRam = 1 };

// How the listing shows the current line.
enum TListingKind : int {
  ListPlain = 0,
  ListCode = 1,
  ListConstant = 2,
  ListAddress = 4,
  ListBitName = 8,
  ListConfigByte = 16,
};

extern std::uint8_t CurrentSegment;
extern std::uint16_t CodeCounter;
extern std::uint16_t RamCounter;
extern std::uint16_t CodeLength;
extern std::uint16_t RamLength;
// True when the current line's CodeLength words are reserved (DS in the CODE
// segment) rather than assembled: the counter advances over a gap that the
// HEX file leaves empty.
extern bool CodeIsGap;
extern std::array<std::uint16_t, MaxCodeWords> CodeWords;
inline std::uint16_t& CodeWord() { return CodeWords[0]; }
extern int ListingKind;
extern bool PassActive;
extern std::string Mnemonic;
extern int CurrentEntry;

// A configuration or ID byte of the 16-bit core (CONFIG): it lies beyond the
// program words, so it travels to the HEX file beside them, not in CodeWords.
extern bool HasConfigByte;
extern std::uint32_t ConfigByteAddress;
extern std::uint8_t ConfigByteValue;

// Configuration tracking of pass 2, reported by the driver's summary.
extern std::uint32_t ConfigBase;
extern std::uint32_t HighestCodeAddress;
extern bool IdWordsSeen;
extern bool FusesSeen;
extern bool Fuses2Seen;

}  // namespace veltas::state
