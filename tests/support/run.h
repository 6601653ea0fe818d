// Runs the whole program in memory: the run sequence with the fake window
// over an in-memory file system.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "driver/run.h"
#include "tests/support/fake_window.h"
#include "tests/support/memory_files.h"

namespace veltas::testing {

struct TRun {
  driver::TRunResult Result;
  std::string Status;    // raw status text
  std::string Hex, Prn;  // the outputs, empty if not written
};

TRun RunProgram(const std::map<std::string, std::string>& files, std::vector<std::string> args = {"main.pic"});

// The bytes a HEX text puts at each byte address, and the program words at
// each word address.
std::map<std::uint32_t, std::uint8_t> HexBytes(const std::string& hex);
std::map<std::uint32_t, std::uint16_t> HexWords(const std::string& hex);

// Between the UTF-8 of the test files and the cp1252 of sources and
// messages (Latin-1 letters only, which is all the German texts need).
std::string Cp1252(const std::string& utf8);
std::string Utf8(const std::string& cp1252);

}  // namespace veltas::testing
