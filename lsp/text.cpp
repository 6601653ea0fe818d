#include "lsp/text.h"

#include <algorithm>

#include "source/cp1252.h"

namespace veltas::lsp {

namespace {

int Units(std::uint32_t cp, TEncoding encoding) {
  if (encoding == TEncoding::Utf16) return cp > 0xFFFF ? 2 : 1;
  return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

}  // namespace

int ToCharacter(std::string_view line, int index, TEncoding encoding) {
  int character = 0;
  std::size_t pos = 0;
  for (int i = 0; i < index; ++i)
    character += pos < line.size() ? Units(source::NextCodePoint(line, pos), encoding) : 1;
  return character;
}

int FromCharacter(std::string_view line, int character, TEncoding encoding) {
  int index = 0;
  std::size_t pos = 0;
  for (int units = 0; pos < line.size(); ++index) {
    units += Units(source::NextCodePoint(line, pos), encoding);
    if (units > character) break;
  }
  return index;
}

std::size_t OffsetOf(std::string_view text, int line, int character, TEncoding encoding) {
  std::size_t start = 0;
  for (int l = 0; l < line; ++l) {
    std::size_t next = text.find('\n', start);
    if (next == std::string_view::npos) return text.size();
    start = next + 1;
  }
  std::size_t end = text.find('\n', start);
  std::string_view rest = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
  int index = FromCharacter(rest, character, encoding);
  std::size_t pos = 0;
  for (int i = 0; i < index && pos < rest.size(); ++i) source::NextCodePoint(rest, pos);
  return start + pos;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (end == std::string_view::npos && line.empty() && !lines.empty()) break;
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string UriToPath(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.substr(0, kScheme.size()) != kScheme) return {};
  uri.remove_prefix(kScheme.size());
  uri.remove_prefix(std::min(uri.find('/'), uri.size()));  // an authority, such as localhost
  std::string path;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    auto hex = [](char c) {
      return c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
    };
    if (uri[i] == '%' && i + 2 < uri.size() && hex(uri[i + 1]) >= 0 && hex(uri[i + 2]) >= 0) {
      path.push_back(static_cast<char>(hex(uri[i + 1]) * 16 + hex(uri[i + 2])));
      i += 2;
    } else {
      path.push_back(uri[i]);
    }
  }
  return path;
}

std::string PathToUri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char c : path) {
    auto u = static_cast<unsigned char>(c);
    bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                 std::string_view("/-._~").find(c) != std::string_view::npos;
    if (plain) {
      uri.push_back(c);
    } else {
      uri.push_back('%');
      uri.push_back(kHex[u >> 4]);
      uri.push_back(kHex[u & 15]);
    }
  }
  return uri;
}

}  // namespace veltas::lsp
