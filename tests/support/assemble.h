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
  std::string Status;  // raw status text (cp1252 and file names as given)
  std::string Hex;     // contents of the HEX file, if one was written
  std::string Prn;     // contents of the listing
  bool HexWritten = false;
  bool PrnWritten = false;
};

// Assembles files["main.pic"] (or whatever args name) with the given
// arguments; defaults to {"main.pic"}.
TRun RunProgram(const std::map<std::string, std::string>& files, std::vector<std::string> args = {"main.pic"});

// The program words a HEX text puts at each word address (records decoded,
// checksums verified; a bad record fails the test).
std::map<std::uint32_t, std::uint16_t> HexWords(const std::string& hex);

struct TLineResult {
  std::vector<std::uint16_t> Words;  // the line's words, in address order
  std::string Error;                 // cp1252 message, empty on success
  int Position = 0;                  // LinePos of the error report
};

// Assembles one statement under a core ("CORE12", ... or "" for the
// default) after optional definitions, and returns its words or its error.
TLineResult AssembleLine(const std::string& core, const std::string& line, const std::string& definitions = "");

// A cp1252 text from a UTF-8 literal, for comparing messages.
std::string Cp1252(const std::string& utf8);

}  // namespace veltas::testing
