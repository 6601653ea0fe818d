// The framing of the Language Server Protocol: a header block with
// "Content-Length: N", an empty line, then N bytes of body. Bytes in, bodies
// out; no JSON here, so tests can feed it a byte at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltas::lsp {

// A body larger than this is read and dropped, never kept.
inline constexpr std::size_t MaxBodyLength = std::size_t{64} << 20;

class TMessageSplitter {
 public:
  // Takes the next bytes of the stream and returns the bodies they complete,
  // in order. A header block without a readable length, or with one over
  // MaxBodyLength, is dropped (with that body) and reading goes on at the
  // next header.
  std::vector<std::string> Feed(std::string_view bytes);
  // Header blocks dropped so far.
  int Dropped = 0;

 private:
  std::string Buffer;
  std::size_t Skip = 0;  // bytes of a dropped body still to come
};

// One message as it goes out.
std::string Frame(std::string_view body);

}  // namespace veltas::lsp
