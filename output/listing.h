// The listing (.PRN): every pass-2 line with address, code words in binary,
// values of constants and bit names, line number and source text; and the
// small text routines that the listing, the symbol list and the driver's
// summary share.
#pragma once

#include <cstdint>
#include <string>

namespace veltas::output {

inline constexpr std::size_t MaxListingLine = 128;  // CR LF included

// Writes the current line (and its continuation lines, and the error line
// when ErrorText is set) to the listing.
void WriteListingLine();

std::string HexWord(std::int64_t value);
// The low `digits` hexadecimal digits of value.
std::string HexDigits(std::int64_t value, int digits);
char HexDigit(std::int64_t value);
// 16 binary digits in groups of four; the bits the core lacks are blanks.
std::string BinaryWord(std::uint16_t word);
// 23 characters: sign (blank or "-"), mantissa with 15 significant digits,
// "E", exponent sign and four exponent digits.
std::string FloatText(double value);
std::string DecimalText(std::int64_t value);

}  // namespace veltas::output
