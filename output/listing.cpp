#include "output/listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "isa/table.h"
#include "source/host_hooks.h"
#include "source/lines.h"
#include "state/state.h"
#include "symbols/symbols.h"

namespace veltas::output {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kPrefixWidth = 31;
constexpr std::size_t kLineNumberWidth = 7;
constexpr std::string_view kErrorHead = "*** Fehler:          ";

// Every piece of a listing line is appended to one buffer: the listing has a
// line for every source line, and a string per piece would cost allocations.

// Segment word and the address column, with an offset for continuation lines.
void AppendSegmentAndAddress(std::string& out, unsigned offset) {
  switch (state::CurrentSegment) {
    case state::SegCode:
      out += "CODE ";
      out += HexWord(state::CodeCounter + offset);
      break;
    case state::SegRam:
      out += "RAM  ";
      out += HexWord(state::RamCounter + offset);
      break;
    default:
      out += "     ";
      out += HexWord(0);
      break;
  }
}

void AppendBinaryWord(std::string& out, std::uint16_t word) {
  std::size_t start = out.size();
  out += "0000 0000 0000 0000";
  for (int bit = 15, place = 0; bit >= 0; --bit, ++place) {
    if (place == 4 || place == 9 || place == 14) ++place;  // skip the group blanks
    if ((word >> bit) & 1) out[start + static_cast<std::size_t>(place)] = '1';
  }
  if (isa::CoreKind == isa::Core12)
    out.replace(start, 4, "    ");
  else if (isa::CoreKind == isa::Core14)
    out.replace(start, 2, "  ");
}

// LineNumber in decimal, right-aligned in 7 characters; "+" marks the lines
// of include files. Built in place, since every listing line has one.
void AppendLineNumberField(std::string& out) {
  char field[kLineNumberWidth + 16];
  char* digits = field + kLineNumberWidth;  // room for the blanks in front
  char* end = std::to_chars(digits, field + sizeof field, source::LineNumber).ptr;
  char* first = std::min(digits, end - kLineNumberWidth);
  std::fill(first, digits, ' ');
  if (source::IncludeDepth > 0) *first = '+';
  out.append(first, static_cast<std::size_t>(end - first));
}

// The part in front of the line number, padded to 31 characters.
void AppendPrefix(std::string& out) {
  const symbols::TSymbol& s = symbols::PendingSymbol;
  std::size_t start = out.size();
  switch (state::ListingKind) {
    case state::ListCode:
      AppendSegmentAndAddress(out, 0);
      out += "  ";
      AppendBinaryWord(out, state::CodeWords[0]);
      out += ' ';
      break;
    case state::ListConstant:
      if (s.ValueType == symbols::TypeFloat) {
        out += "       =";
        out += FloatText(s.FloatValue);
      } else {
        out += "       = ";
        out += HexWord(s.Value);
      }
      break;
    case state::ListAddress:
      AppendSegmentAndAddress(out, 0);
      out += "  ";
      break;
    case state::ListConfigByte: {
      // The byte stands where a code word's low byte would.
      out += "CODE ";
      out += HexDigits(state::ConfigByteAddress, 6);
      out += "          ";
      std::string bits = BinaryWord(state::ConfigByteValue);
      out.append(bits, bits.size() - 9, 9);
      out += ' ';
      break;
    }
    case state::ListBitName:
      out += "       = ";
      out += HexWord(s.Value);
      out += '.';
      out += HexDigit(s.BitNumber);
      break;
    default: break;
  }
  if (out.size() - start < kPrefixWidth) out.resize(start + kPrefixWidth, ' ');
}

}  // namespace

std::string HexDigits(std::int64_t value, int digits) {
  auto v = static_cast<std::uint64_t>(value);
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, v >>= 4) text[static_cast<std::size_t>(i)] = kHexDigits[v & 0xF];
  return text;
}

std::string HexWord(std::int64_t value) { return HexDigits(value, 4); }

char HexDigit(std::int64_t value) { return kHexDigits[static_cast<std::uint64_t>(value) & 0xF]; }

std::string BinaryWord(std::uint16_t word) {
  std::string text;
  AppendBinaryWord(text, word);
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
  static std::string line;  // keeps its capacity from one line to the next
  line.clear();
  AppendPrefix(line);
  AppendLineNumberField(line);
  line += "  ";
  // The source text is cut so that the whole line with CR LF fits in 128.
  std::size_t room = line.size() + 2 < MaxListingLine ? MaxListingLine - 2 - line.size() : 0;
  line.append(source::CurrentLine, 0, std::min(room, source::CurrentLine.size()));
  line += "\r\n";
  source::Hooks.WriteListing(line);

  if (state::ListingKind == state::ListCode) {
    std::size_t words = std::min<std::size_t>(state::CodeLength, state::MaxCodeWords);
    for (std::size_t i = 1; i < words; ++i) {
      line.clear();
      AppendSegmentAndAddress(line, static_cast<unsigned>(i));
      line += "  ";
      AppendBinaryWord(line, state::CodeWords[i]);
      line += ' ';
      AppendLineNumberField(line);
      line += "\r\n";
      source::Hooks.WriteListing(line);
    }
  }
  // An error that only follows from an earlier one gets no line. A run that
  // goes on after errors ends each error line; otherwise the driver does.
  if (state::Failed() && !state::FollowOnError) {
    line.assign(kErrorHead);
    line += state::ErrorText;
    if (state::GoesOnAfterErrors()) line += "\r\n";
    source::Hooks.WriteListing(line);
  }
}

}  // namespace veltas::output
