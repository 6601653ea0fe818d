// Positions and names as the protocol has them: lines of UTF-8 text,
// characters counted in UTF-16 units (or UTF-8 bytes where the client
// offers that), documents named by file URIs. The assembler sees cp1252,
// one byte per character, so its column c is character index c - 1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltas::lsp {

enum class TEncoding { Utf16, Utf8 };

// The protocol's character of the character at index (0-based) of a UTF-8
// line; an index beyond the line counts one unit per missing character.
int ToCharacter(std::string_view line, int index, TEncoding encoding);
// The character index of a protocol character, clamped to the line's end;
// a character inside a multi-unit character means that character.
int FromCharacter(std::string_view line, int character, TEncoding encoding);
// The byte offset of a protocol position in a UTF-8 text, clamped to the
// text and the line.
std::size_t OffsetOf(std::string_view text, int line, int character, TEncoding encoding);

// The text's lines, split at LF, a CR before it dropped.
std::vector<std::string> SplitLines(std::string_view text);

// file:///a%20b/c.pic <-> /a b/c.pic; other schemes give an empty path.
std::string UriToPath(std::string_view uri);
std::string PathToUri(std::string_view path);

}  // namespace veltas::lsp
