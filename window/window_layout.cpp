#include "window/window_layout.h"

namespace veltas::window::layout {

namespace {

constexpr int kMargin = 5;

// Half of a difference that may be negative: 0 then, so that the window
// stays on the screen.
int HalfOrZero(int difference) { return difference > 0 ? difference / 2 : 0; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// One Windows pattern ("*.PIC") in FLTK's syntax, matching any letter case.
std::string FltkPattern(std::string_view pattern) {
  if (pattern == "*.*") return "*";
  std::string out;
  for (char c : pattern) {
    if (IsAsciiLetter(c)) {
      char upper = static_cast<char>(c & ~0x20);
      char lower = static_cast<char>(c | 0x20);
      out += '[';
      out += upper;
      out += lower;
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

TPoint CenteredPosition(int workWidth, int workHeight) {
  return {HalfOrZero(workWidth - kWindowWidth), HalfOrZero(workHeight - kWindowHeight)};
}

TRect TextAreaRect(int w, int h) { return {kMargin, kMargin, w - 2 * kMargin, h - 45}; }

TRect OkButtonRect(int w, int h) {
  return {w - kButtonWidth - kMargin, h - kButtonHeight - kMargin, kButtonWidth, kButtonHeight};
}

TRect SearchButtonRect(int, int h) { return {kMargin, h - kButtonHeight - kMargin, kButtonWidth, kButtonHeight}; }

std::string WithLineEnds(std::string_view text, std::string_view lineEnd) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\r')
      out += lineEnd;
    else
      out += c;
  }
  return out;
}

std::string FltkFilter() {
  std::string out;
  // The list is pairs of zero-ended texts, ended by an empty text.
  std::string_view rest(kFilterList, sizeof kFilterList - 1);
  auto next = [&rest]() {
    std::size_t end = rest.find('\0');
    std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return text;
  };
  while (!rest.empty()) {
    std::string_view description = next();
    std::string_view patterns = next();
    std::string pieces;
    int count = 0;
    while (!patterns.empty()) {
      std::size_t semicolon = patterns.find(';');
      std::string_view one = patterns.substr(0, semicolon);
      patterns.remove_prefix(semicolon == std::string_view::npos ? patterns.size() : semicolon + 1);
      if (one.empty()) continue;
      if (count++ > 0) pieces += ',';
      pieces += FltkPattern(one);
    }
    if (!out.empty()) out += '\t';
    out += description;
    out += count > 1 ? " ({" + pieces + "})" : " (" + pieces + ")";
  }
  return out;
}

}  // namespace veltas::window::layout
