// The seam between the assembler core and its host. The core never opens,
// reads or writes a file itself; it calls these six operations, which the
// host installs once before anything runs. Tests and the fuzzer install an
// in-memory host; the programs install one that works on real files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltas::source {

struct THostHooks {
  // Reads the next line of the innermost open file into CurrentLine and sets
  // LinePos to 1; false if that file was already at its end.
  bool (*ReadSourceLine)() = nullptr;
  // Opens the main source again from its first line, IncludeDepth 0.
  void (*RewindSource)() = nullptr;
  // Pushes an include file; false with ErrorText set if it can't be opened.
  bool (*OpenInclude)(const std::string& name, std::int32_t lineNumber) = nullptr;
  // Pops the innermost include file; returns the line number to resume with.
  std::int32_t (*CloseInclude)() = nullptr;
  // Append text unchanged to the HEX file and to the listing.
  void (*WriteHex)(std::string_view text) = nullptr;
  void (*WriteListing)(std::string_view text) = nullptr;
};

extern THostHooks Hooks;

// Number of entries in the host's stack of open source files: the main source
// and at most seven nested include files.
inline constexpr int MaxSourceFiles = 8;

// Index of the innermost open source file; 0 while the main source is read.
// Owned by the host's file stack; the core reads it and the passes reset it.
extern int IncludeDepth;

// Whether the lines of each open source file, by include depth, go to the
// listing. The host clears it for a definition file from the devices
// directory, whose hundreds of names would bury a short program's listing;
// the INCLUDE line itself and a failing line are listed all the same.
extern std::array<bool, MaxSourceFiles> FileListed;

}  // namespace veltas::source
