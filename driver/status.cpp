#include "driver/status.h"

#include "driver/encoding.h"

namespace veltas::driver {

void TStatusText::AppendAnsi(std::string_view text) { Parts.push_back({false, std::string(text)}); }

void TStatusText::AppendNative(std::string_view text) { Parts.push_back({true, std::string(text)}); }

std::string TStatusText::Raw() const {
  std::string all;
  for (const TStatusPiece& p : Parts) all += p.Bytes;
  return all;
}

std::string TStatusText::Utf8() const {
  std::string all;
  for (const TStatusPiece& p : Parts) all += p.Native ? p.Bytes : AnsiToUtf8(p.Bytes);
  return all;
}

}  // namespace veltas::driver
