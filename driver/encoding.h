// Code-page conversions of the status output.
#pragma once

#include <string>
#include <string_view>

namespace veltas::driver {

// The OEM-to-ANSI conversion of status literals: cp850 to cp1252.
std::string OemToAnsi(std::string_view oem);
// cp1252 to UTF-8, for consoles and toolkits that speak Unicode.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace veltas::driver
