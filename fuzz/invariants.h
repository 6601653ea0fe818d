// What must hold after every run of the program, whatever the input: the
// checks of the fuzz target. A violation prints what was seen and aborts, so
// that libFuzzer keeps the input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"

namespace veltas::fuzz {

// The state of a pass when it fetches a source line.
struct TLineState {
  std::uint16_t CodeCounter, RamCounter;
  std::uint8_t Segment, Core;
  std::int32_t LineNumber;
  int IncludeDepth;
  bool operator==(const TLineState&) const = default;
};

// What one run left behind.
struct TObservation {
  driver::TRunResult Result;
  std::string Status;  // raw status text
  std::string Hex, Prn;
  bool HexWritten = false, PrnWritten = false;
  // Whether pass 2 started (the main source was opened after the outputs
  // were created), and what the outputs held at that moment.
  bool ReachedPass2 = false;
  std::string HeadBeforePass2, HexBeforePass2;
  int Creates = 0;
  // The state at every line fetch of each pass.
  std::vector<TLineState> Pass1Lines, Pass2Lines;

  [[noreturn]] void Fail(std::string_view what) const;
};

// Every invariant of one run.
void CheckRun(const TObservation& run);
// Two runs of the same input gave the same result.
void CheckSameRun(const TObservation& a, const TObservation& b);

// The single checks, also used on their own.
// Every record well formed; the end record last exactly when complete.
bool HexFileValid(std::string_view hex, bool complete, std::string& why);
// Listing lines up to the symbol list: CR LF ended, at most 128 characters.
bool ListingValid(std::string_view prn, std::string_view errorLine, std::string& why);

}  // namespace veltas::fuzz
