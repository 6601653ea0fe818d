// Source text is cp1252. Consoles, toolkits and the file names of systems
// that speak UTF-8 need it converted.
#pragma once

#include <string>
#include <string_view>

namespace veltas::source {

// cp1252 to UTF-8; the five bytes cp1252 leaves undefined become U+FFFD.
std::string Cp1252ToUtf8(std::string_view text);
// Whether the text holds none of the five undefined bytes.
bool IsCp1252Defined(std::string_view text);

}  // namespace veltas::source
