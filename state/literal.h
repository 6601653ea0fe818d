// Compile-time conversion of UTF-8 string literals into the single-byte code
// pages the program speaks: cp1252 for messages and listing texts, cp850 for
// the driver's status literals. The source files stay readable UTF-8 while the
// bytes that reach the output files are exactly the ones users expect.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltas {

enum class TCodePage { Ansi1252, Oem850 };

consteval unsigned char EncodeLatin1Char(unsigned cp, TCodePage page) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  if (page == TCodePage::Ansi1252) {
    if (cp >= 0xA0 && cp <= 0xFF) return static_cast<unsigned char>(cp);
    throw "character not representable in cp1252";
  }
  switch (cp) {  // the letters our German literals need
    case 0xE4: return 0x84;  // ä
    case 0xF6: return 0x94;  // ö
    case 0xFC: return 0x81;  // ü
    case 0xC4: return 0x8E;  // Ä
    case 0xD6: return 0x99;  // Ö
    case 0xDC: return 0x9A;  // Ü
    case 0xDF: return 0xE1;  // ß
    default: throw "character not representable in cp850";
  }
}

template <std::size_t N, TCodePage Page>
struct TCodedLiteral {
  char bytes[N]{};
  std::size_t length = 0;

  consteval TCodedLiteral(const char (&utf8)[N]) {
    std::size_t i = 0;
    while (i + 1 < N) {
      unsigned char c = static_cast<unsigned char>(utf8[i]);
      unsigned cp;
      if (c < 0x80) {
        cp = c;
        i += 1;
      } else if ((c & 0xE0) == 0xC0 && i + 2 < N) {
        cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        i += 2;
      } else {
        throw "unsupported UTF-8 sequence in literal";
      }
      bytes[length++] = static_cast<char>(EncodeLatin1Char(cp, Page));
    }
  }
  constexpr std::string_view view() const { return {bytes, length}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(bytes, length); }
};

// A message or listing text in cp1252.
template <std::size_t N>
struct Ansi : TCodedLiteral<N, TCodePage::Ansi1252> {
  consteval Ansi(const char (&utf8)[N]) : TCodedLiteral<N, TCodePage::Ansi1252>(utf8) {}
};

// A status literal of the driver, held in cp850 like the original program's.
template <std::size_t N>
struct Oem : TCodedLiteral<N, TCodePage::Oem850> {
  consteval Oem(const char (&utf8)[N]) : TCodedLiteral<N, TCodePage::Oem850>(utf8) {}
};

}  // namespace veltas
