// Conversion of a chip maker's processor header (gputils' p*.inc, written
// for another assembler) into a definition file of this dialect: the core
// directive, the chip's name, its registers, bit names and configuration
// names. Works on texts only; the program veltas-header reads and writes the
// files. Needs nothing of the assembler.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace veltas::devices {

enum class TOutcome {
  Converted,
  Skipped,  // not one chip's header; Message says why
  Failed,   // Message (and Line) say what is wrong
};

// Why a name of the header is not defined under its own name. Each case
// leaves a comment in the definition file.
enum TReason : int {
  FunctionWord,   // HI, HIGH, LOW ...: the evaluator reads them as functions
  FlagWord,       // A, ACCESS, BANKED, FAST, W, F: this dialect writes flags as words
  Duplicate,      // a later second definition of a name
  OnlyQualified,  // a bit name of several registers: defined only as REGISTER_NAME
  NotWritable,    // an address no directive writes: the PIC18's device ID
  AliasTarget,    // a #define whose target the file does not define
  InvalidName,    // not a name of this dialect
  ReasonCount
};

struct TConversion {
  TOutcome Outcome = TOutcome::Failed;
  std::string Text;             // the definition file, cp1252, LF line ends (the assembler reads either)
  std::string Message;          // reason for a skip or the error, UTF-8
  int Line = 0;                 // line of the error in the file it names, 0 for none
  bool InLinkerScript = false;  // the error is in the linker script
  std::string Core;             // CORE12, CORE14, CORE14ENH or CORE16
  int Defined = 0;              // names defined
  std::array<int, ReasonCount> LeftOut{};
};

// Converts one header. headerName appears in the head comment; the linker
// script (its name and text, nullopt if there is none) is needed only for a
// PIC18 part: it gives the access-bank boundary and, for a part whose header
// names no configuration address (the J parts), the configuration words.
TConversion Convert(const std::string& headerName, const std::string& headerText, const std::string& linkerName,
                    const std::optional<std::string>& linkerText);

// German words for a reason, as the summary of veltas-header prints them.
const char* ReasonText(TReason reason);

}  // namespace veltas::devices
