#include "lsp/transport.h"

#include <algorithm>
#include <cctype>

namespace veltas::lsp {

namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";
// Garbage without a header end is dropped beyond this, keeping its tail in
// case a header begins there.
constexpr std::size_t kMaxHeaderBlock = 8192;

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The body length a header block names; npos when it names none it can read.
std::size_t BodyLength(std::string_view block) {
  std::size_t length = std::string_view::npos;
  while (!block.empty()) {
    std::size_t end = block.find("\r\n");
    std::string_view line = block.substr(0, end);
    block = end == std::string_view::npos ? std::string_view() : block.substr(end + 2);
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !SameLetters(line.substr(0, colon), "Content-Length")) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    if (value.empty() || value.size() > 18 || value.find_first_not_of("0123456789") != std::string_view::npos)
      return std::string_view::npos;
    length = 0;
    for (char c : value) length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  return length;
}

}  // namespace

std::vector<std::string> TMessageSplitter::Feed(std::string_view bytes) {
  std::vector<std::string> bodies;
  Buffer.append(bytes);
  for (;;) {
    if (Skip > 0) {
      std::size_t n = std::min(Skip, Buffer.size());
      Buffer.erase(0, n);
      Skip -= n;
      if (Skip > 0) break;
    }
    std::size_t end = Buffer.find(kHeaderEnd);
    if (end == std::string::npos) {
      if (Buffer.size() > kMaxHeaderBlock) Buffer.erase(0, Buffer.size() - kHeaderEnd.size());
      break;
    }
    std::size_t length = BodyLength(std::string_view(Buffer).substr(0, end));
    std::size_t start = end + kHeaderEnd.size();
    if (length == std::string_view::npos || length > MaxBodyLength) {
      ++Dropped;
      Buffer.erase(0, start);
      if (length != std::string_view::npos) Skip = length;
      continue;
    }
    if (Buffer.size() - start < length) break;
    bodies.push_back(Buffer.substr(start, length));
    Buffer.erase(0, start + length);
  }
  return bodies;
}

std::string Frame(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace veltas::lsp
