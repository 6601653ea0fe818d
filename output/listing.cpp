#include "output/listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "isa/table.h"
#include "passes/state.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "symbols/symbols.h"

namespace veltas::output {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kPrefixWidth = 31;
constexpr std::size_t kLineNumberWidth = 7;
constexpr std::string_view kErrorHead = "*** Fehler:          ";

// Segment word and the address column, with an offset for continuation lines.
std::string SegmentAndAddress(unsigned offset) {
  switch (passes::CurrentSegment) {
    case passes::SegCode: return "CODE " + HexWord(passes::CodeCounter + offset);
    case passes::SegRam: return "RAM  " + HexWord(passes::RamCounter + offset);
    default: return "     " + HexWord(0);
  }
}

std::string LineNumberField() {
  std::string number = DecimalText(source::LineNumber);
  std::string field(number.size() < kLineNumberWidth ? kLineNumberWidth - number.size() : 0, ' ');
  field += number;
  if (source::IncludeDepth > 0) field[0] = '+';
  return field;
}

std::string Prefix() {
  const symbols::TSymbol& s = symbols::PendingSymbol;
  std::string prefix;
  switch (passes::ListingKind) {
    case passes::ListCode:
      prefix = SegmentAndAddress(0) + "  " + BinaryWord(passes::CodeWords[0]) + " ";
      break;
    case passes::ListConstant:
      if (s.ValueType == symbols::TypeFloat)
        prefix = "       =" + FloatText(s.FloatValue);
      else
        prefix = "       = " + HexWord(s.Value);
      break;
    case passes::ListAddress:
      prefix = SegmentAndAddress(0) + "  ";
      break;
    case passes::ListBitName:
      prefix = "       = " + HexWord(s.Value) + "." + HexDigit(s.BitNumber);
      break;
    default:
      break;
  }
  if (prefix.size() < kPrefixWidth) prefix.resize(kPrefixWidth, ' ');
  return prefix;
}

}  // namespace

std::string HexWord(std::int64_t value) {
  auto v = static_cast<std::uint64_t>(value);
  std::string text(4, '0');
  for (int i = 3; i >= 0; --i, v >>= 4) text[static_cast<std::size_t>(i)] = kHexDigits[v & 0xF];
  return text;
}

char HexDigit(std::int64_t value) { return kHexDigits[static_cast<std::uint64_t>(value) & 0xF]; }

std::string BinaryWord(std::uint16_t word) {
  std::string text = "0000 0000 0000 0000";
  for (int bit = 15, place = 0; bit >= 0; --bit, ++place) {
    if (place == 4 || place == 9 || place == 14) ++place;  // skip the group blanks
    if ((word >> bit) & 1) text[static_cast<std::size_t>(place)] = '1';
  }
  if (isa::CoreKind == isa::Core12)
    text.replace(0, 4, "    ");
  else if (isa::CoreKind == isa::Core14)
    text.replace(0, 2, "  ");
  return text;
}

std::string FloatText(double value) {
  std::string text(1, value < 0 ? '-' : ' ');
  double magnitude = std::fabs(value);
  if (!std::isfinite(magnitude)) {
    text += std::isnan(magnitude) ? "NAN" : "INF";
    text.resize(23, ' ');
    return text;
  }
  // The shortest correctly rounded scientific form with 14 digits after the
  // point; its layout is rebuilt here so that no locale can change it.
  char digits[64];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::scientific, 14);
  std::string_view conv(digits, ec == std::errc() ? static_cast<std::size_t>(end - digits) : 0);
  std::size_t e = conv.find('e');
  int exponent = 0;
  if (e != std::string_view::npos) {
    std::from_chars(conv.data() + e + 2, conv.data() + conv.size(), exponent);
    if (conv[e + 1] == '-') exponent = -exponent;
    text += conv.substr(0, e);
  }
  text += 'E';
  text += exponent < 0 ? '-' : '+';
  std::string expDigits = std::to_string(std::abs(exponent));
  text += std::string(expDigits.size() < 4 ? 4 - expDigits.size() : 0, '0') + expDigits;
  return text;
}

std::string DecimalText(std::int64_t value) { return std::to_string(value); }

void WriteListingLine() {
  std::string line = Prefix();
  std::string number = LineNumberField();
  line += number;
  line += "  ";
  // The source text is cut so that the whole line with CR LF fits in 128.
  std::size_t room = line.size() + 2 < MaxListingLine ? MaxListingLine - 2 - line.size() : 0;
  line.append(source::CurrentLine, 0, std::min(room, source::CurrentLine.size()));
  line += "\r\n";
  source::Hooks.WriteListing(line);

  if (passes::ListingKind == passes::ListCode) {
    std::size_t words = std::min<std::size_t>(passes::CodeLength, passes::MaxCodeWords);
    for (std::size_t i = 1; i < words; ++i) {
      std::string more = SegmentAndAddress(static_cast<unsigned>(i)) + "  " + BinaryWord(passes::CodeWords[i]) +
                         " " + number + "\r\n";
      source::Hooks.WriteListing(more);
    }
  }
  if (passes::Failed()) {
    std::string error(kErrorHead);
    error += passes::ErrorText;
    source::Hooks.WriteListing(error);
  }
}

}  // namespace veltas::output
