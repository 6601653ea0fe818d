#include "window/console_window.h"

#include "driver/encoding.h"

namespace veltas::window {

void TConsoleWindow::SetText(const driver::TStatusText& text) {
  const auto& pieces = text.Pieces();
  for (; Printed < pieces.size(); ++Printed) {
    if (Quiet) continue;
    const driver::TStatusPiece& p = pieces[Printed];
    std::string shown = p.Native ? p.Bytes : driver::AnsiToUtf8(p.Bytes);
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
