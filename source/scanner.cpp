#include "source/scanner.h"

#include "source/lines.h"
#include "state/messages.h"
#include "state/state.h"

namespace veltas::source {

std::string Token;
int TokenStart = 1;
bool TokenCut = false;

namespace {

// cp1252 codes of the German letters that may start an identifier.
constexpr unsigned char kAe = 196, kOe = 214, kUe = 220, kae = 228, koe = 246, kue = 252;
constexpr unsigned char kSz = 223;

int LineLength() { return static_cast<int>(CurrentLine.size()); }

}  // namespace

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

bool IsIdentStart(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
         u == '_' || u == kAe || u == kOe || u == kUe || u == kae || u == koe || u == kue;
}

bool IsIdentContinue(char c) {
  return IsIdentStart(c) || c == '.' || static_cast<unsigned char>(c) == kSz;
}

char CharAt(int pos) {
  return (pos >= 1 && pos <= LineLength()) ? CurrentLine[static_cast<std::size_t>(pos - 1)] : '\0';
}

bool LineHasMore() { return LinePos >= 1 && LinePos <= LineLength(); }

void SkipBlanks() {
  while (LineHasMore() && IsBlank(CurrentLine[static_cast<std::size_t>(LinePos - 1)])) ++LinePos;
}

char NextChar() {
  if (!LineHasMore()) return '\0';
  return CurrentLine[static_cast<std::size_t>(LinePos++ - 1)];
}

char PeekChar() {
  for (int p = LinePos < 1 ? 1 : LinePos; p <= LineLength(); ++p) {
    char c = CurrentLine[static_cast<std::size_t>(p - 1)];
    if (!IsBlank(c)) return c;
  }
  return '\0';
}

void SkipPast(char c) {
  int start = LinePos < 1 ? 1 : LinePos;
  if (start <= LineLength()) {
    std::size_t found = CurrentLine.find(c, static_cast<std::size_t>(start - 1));
    if (found != std::string::npos) {
      LinePos = static_cast<int>(found) + 2;
      return;
    }
  }
  LinePos = LineLength() + 2;
}

void ReadToken() {
  Token.clear();
  TokenCut = false;
  SkipBlanks();
  TokenStart = LinePos;
  if (!LineHasMore()) return;
  char ch = CurrentLine[static_cast<std::size_t>(LinePos - 1)];
  ++LinePos;
  Token.push_back(ch);
  if (!IsIdentStart(ch)) return;
  while (LineHasMore()) {
    char c = CurrentLine[static_cast<std::size_t>(LinePos - 1)];
    if (!IsIdentContinue(c)) break;
    if (Token.size() < MaxTokenLength)
      Token.push_back(c);
    else
      TokenCut = true;
    ++LinePos;
  }
}

bool TokenIs(std::string_view keyword) {
  if (Token.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    char c = Token[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

void UpperCaseStr(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

void ReadOperandText(std::string& out) {
  out.clear();
  std::size_t counted = 0;
  for (;;) {
    if (counted >= MaxOperandText - 1) {
      state::SetError(msg::OperandTooLong);
      return;
    }
    if (!LineHasMore()) return;
    char c = CurrentLine[static_cast<std::size_t>(LinePos - 1)];
    if (c == ',' || c == ';') return;
    if (c == '\'' || c == '"') {
      char quote = c;
      out.push_back(quote);
      ++LinePos;
      char taken;
      do {
        taken = CharAt(LinePos);
        out.push_back(taken);
        ++counted;
        if (counted >= MaxOperandText - 1) {
          state::SetError(msg::StringTooLong);
          return;
        }
        ++LinePos;
        if (taken != quote && !LineHasMore()) {
          state::SetError(msg::StringNoEnd);
          return;
        }
      } while (taken != quote);
      continue;
    }
    out.push_back(c);
    ++counted;
    ++LinePos;
  }
}

}  // namespace veltas::source
