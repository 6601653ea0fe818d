#include "source/cp1252.h"

#include <cstdint>

namespace veltas::source {

namespace {

// Unicode of cp1252 bytes 0x80..0x9F; the five unassigned bytes show as U+FFFD.
constexpr std::uint16_t kAnsiHigh[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto u = static_cast<std::uint8_t>(c);
    AppendUtf8(out, u >= 0x80 && u < 0xA0 ? kAnsiHigh[u - 0x80] : u);
  }
  return out;
}

bool IsCp1252Defined(std::string_view text) {
  for (char c : text) {
    auto u = static_cast<std::uint8_t>(c);
    if (u >= 0x80 && u < 0xA0 && kAnsiHigh[u - 0x80] == 0xFFFD) return false;
  }
  return true;
}

std::uint32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  std::uint8_t lead = byte(pos);
  int more = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
  if (more < 0 || pos + static_cast<std::size_t>(more) >= text.size()) {
    ++pos;
    return 0xFFFD;
  }
  std::uint32_t cp = more == 0 ? lead : lead & (0x3Fu >> more);
  for (int i = 1; i <= more; ++i) {
    std::uint8_t b = byte(pos + static_cast<std::size_t>(i));
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = cp << 6 | (b & 0x3Fu);
  }
  static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  pos += static_cast<std::size_t>(more) + 1;
  bool bad = cp < kLeast[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
  return bad ? 0xFFFD : cp;
}

std::string Utf8ToCp1252(std::string_view text, std::vector<TUnmapped>* unmapped) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    std::uint32_t cp = NextCodePoint(text, pos);
    int byte = cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF) ? static_cast<int>(cp) : -1;
    for (int i = 0; byte < 0 && i < 32; ++i)
      if (kAnsiHigh[i] == cp && cp != 0xFFFD) byte = 0x80 + i;
    if (byte < 0) {
      if (unmapped) unmapped->push_back({out.size(), cp});
      byte = '?';
    }
    out.push_back(static_cast<char>(byte));
  }
  return out;
}

}  // namespace veltas::source
