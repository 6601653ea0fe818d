// Table rows for one-statement tests: a statement under a core, after some
// definitions, and what it must give: its words, or a message and the
// position the error report shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/assemble.h"

namespace veltas::testing {

struct TLineCase {
  const char* Core = "";                  // "CORE12" ... "CORE16", or "" for the default (CORE14)
  const char* Line = "";                  // the statement, on a line of its own
  std::vector<std::uint16_t> Words = {};  // expected words, when no error is expected
  const char* Error = "";                 // expected message (UTF-8), or "" for success
  int Position = 0;                       // expected LinePos of the report; 0: not checked
  const char* Definitions = "";           // lines placed before the statement
};

inline std::string WordsText(const std::vector<std::uint16_t>& words) {
  std::string text;
  for (std::uint16_t w : words) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, " %04X", static_cast<unsigned>(w));
    text += buffer;
  }
  return text.empty() ? " (none)" : text;
}

inline void ExpectLine(const TLineCase& c) {
  SCOPED_TRACE(std::string(c.Core[0] ? c.Core : "(default core)") + ": " + c.Line +
               (c.Definitions[0] ? std::string(" after ") + c.Definitions : std::string()));
  TLineResult r = AssembleLine(c.Core, c.Line, c.Definitions);
  if (c.Error[0] == '\0') {
    EXPECT_EQ(r.Error, "") << "at position " << r.Position;
    EXPECT_EQ(WordsText(r.Words), WordsText(c.Words));
  } else {
    EXPECT_EQ(r.Error, Cp1252(c.Error));
    if (c.Position != 0) {
      EXPECT_EQ(r.Position, c.Position);
    }
    EXPECT_TRUE(r.Words.empty());
  }
}

inline void ExpectLines(const std::vector<TLineCase>& cases) {
  for (const TLineCase& c : cases) ExpectLine(c);
}

// Messages, as the rules spell them.
inline constexpr const char* kWrongCore = "diesen Befehl kennt der gewählte PIC nicht";
inline constexpr const char* kRange = "Wert außerhalb des zulässigen Bereiches";
inline constexpr const char* kAccess = "richtig: \"MNEMO  name [,A]";
inline constexpr const char* kDestination = "richtig: \"MNEMO  name [,F oder ,W], (ohne:  \",F\")";
inline constexpr const char* kBitImpossible = "Bit / Kondition geht so nicht";
inline constexpr const char* kBitUnknown = "Bit / Kondition ist unbekannt";
inline constexpr const char* kBitSyntax = "richtig: \"BIT  name,bit\"";
inline constexpr const char* kBraNotHere = "ähem, ruelps...";
inline constexpr const char* kNoEncoder = "ruelps...";
inline constexpr const char* kOperandExpected = "Operand erwartet";
inline constexpr const char* kOperandNotExpected = "Operand nicht erwartet";
inline constexpr const char* kIdentifierExpected = "Bezeichner erwartet";
inline constexpr const char* kOffsetRange = "Nur Werte -32 .. +31 sind erlaubt";
inline constexpr const char* kFsrSyntax = "erwarte '[FSR0]' oder '[FSR1]'";
inline constexpr const char* kUnderConstruction = "...Baustelle";
inline constexpr const char* kLfsrSyntax = "richtig: \"LFSR  f,k\"";
inline constexpr const char* kEndExpected = "Ende des Ausdruckes erwartet";
inline constexpr const char* kExpressionError = "Fehler im Ausdruck";
inline constexpr const char* kFloatNotAllowed = "Operation mit Floatzahlen nicht möglich";

}  // namespace veltas::testing
