// Character- and token-level scanner over CurrentLine. There is no token
// stream: every reader shares LinePos, so whatever one consumes is gone for
// the next.
#pragma once

#include <string>
#include <string_view>

namespace veltas::source {

inline constexpr std::size_t MaxTokenLength = 64;
inline constexpr std::size_t MaxOperandText = 255;

// The last token read (at most 64 characters); empty means none is held.
extern std::string Token;
// LinePos at the first character of the last token read.
extern int TokenStart;
// Whether the last token read was cut at MaxTokenLength.
extern bool TokenCut;

bool IsBlank(char c);
bool IsIdentStart(char c);
bool IsIdentContinue(char c);

// Character at a 1-based position, or 0 beyond the line.
char CharAt(int pos);
// Whether LinePos lies within the line.
bool LineHasMore();

void SkipBlanks();
char NextChar();
char PeekChar();
void SkipPast(char c);
void ReadToken();
bool TokenIs(std::string_view keyword);
void UpperCaseStr(std::string& text);
// Copies raw operand text up to the next "," or ";" or the line's end;
// quoted sections are copied with their quotes. Fails through ErrorText.
void ReadOperandText(std::string& out);

}  // namespace veltas::source
