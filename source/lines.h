// The current source line and the way the passes get the next one across
// nested include files, plus the INCLUDE directive.
#pragma once

#include <cstdint>
#include <string>

namespace veltas::source {

// The line being processed, without its line end (cp1252 bytes, any length).
extern std::string CurrentLine;
// 1-based scan position in CurrentLine; past the end means "used up".
extern int LinePos;
// Number of the current line within its own file.
extern std::int32_t LineNumber;

// Fetches the next line into CurrentLine, returning from include files that
// have ended. False only when the main source is used up.
bool NextSourceLine();

// Pass-1 and pass-2 handler of the INCLUDE directive.
void IncludeHandler();

}  // namespace veltas::source
