// Source text is cp1252. Consoles, toolkits and the file names of systems
// that speak UTF-8 need it converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltas::source {

// cp1252 to UTF-8; the five bytes cp1252 leaves undefined become U+FFFD.
std::string Cp1252ToUtf8(std::string_view text);
// Whether the text holds none of the five undefined bytes.
bool IsCp1252Defined(std::string_view text);

// The code point of the UTF-8 sequence at pos, which moves past it; a byte
// that starts no valid sequence is U+FFFD and moves pos by one.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& pos);

// A character cp1252 lacks, at its byte in the converted text.
struct TUnmapped {
  std::size_t Offset;
  std::uint32_t CodePoint;
};
// UTF-8 to cp1252, one byte per character: a character cp1252 lacks (or a
// byte that is no UTF-8, as U+FFFD) becomes "?" and is listed in unmapped.
std::string Utf8ToCp1252(std::string_view text, std::vector<TUnmapped>* unmapped = nullptr);

}  // namespace veltas::source
