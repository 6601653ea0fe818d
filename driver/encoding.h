// Code-page conversions of the status output.
#pragma once

#include <string>
#include <string_view>

#include "source/cp1252.h"

namespace veltas::driver {

// The OEM-to-ANSI conversion of status literals: cp850 to cp1252.
std::string OemToAnsi(std::string_view oem);
// cp1252 to UTF-8, for consoles and toolkits that speak Unicode.
inline std::string AnsiToUtf8(std::string_view ansi) { return source::Cp1252ToUtf8(ansi); }

}  // namespace veltas::driver
