#include "window/console_window.h"

#include "driver/encoding.h"

namespace veltas::window {

#ifndef _WIN32
std::string SystemToUtf8(std::string_view text) { return std::string(text); }
#endif

namespace {

std::string Utf8(const driver::TStatusPiece& p) {
  return p.Native ? SystemToUtf8(p.Bytes) : driver::AnsiToUtf8(p.Bytes);
}

}  // namespace

std::string ConsoleText(const driver::TStatusText& text) {
  std::string all;
  for (const driver::TStatusPiece& p : text.Pieces()) all += Utf8(p);
  return all;
}

void TConsoleWindow::SetText(const driver::TStatusText& text) {
  const auto& pieces = text.Pieces();
  for (; Printed < pieces.size(); ++Printed) {
    if (Quiet) continue;
    std::string shown = Utf8(pieces[Printed]);
    for (char& c : shown)
      if (c == '\r') c = '\n';
    if (shown.empty()) continue;
    std::fwrite(shown.data(), 1, shown.size(), Out);
    LineOpen = shown.back() != '\n';
  }
  std::fflush(Out);
}

void TConsoleWindow::MessageBox(std::string_view text, std::string_view caption) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(), static_cast<int>(text.size()),
               text.data());
}

void TConsoleWindow::Finish() {
  if (LineOpen) std::fputc('\n', Out);
  LineOpen = false;
  std::fflush(Out);
}

}  // namespace veltas::window
