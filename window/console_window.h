// The status "window" of the console front end: the status text goes to
// standard output as it grows, each CR shown as a line end, in UTF-8. It
// never waits: it counts as closed from the start.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "driver/status.h"

namespace veltas::window {

// Text in the system's encoding as UTF-8: unchanged on POSIX systems;
// veltas-cli.exe converts from the ANSI code page (programs/win32_console.cpp).
std::string SystemToUtf8(std::string_view text);
// A status text as the console shows it: all of it UTF-8.
std::string ConsoleText(const driver::TStatusText& text);

class TConsoleWindow : public driver::TStatusWindow {
 public:
  explicit TConsoleWindow(std::FILE* out, bool quiet = false) : Out(out), Quiet(quiet) {}
  driver::TCreateResult Create(std::string_view) override { return driver::TCreateResult::Ok; }
  void AddSearchButton() override {}
  void DisableSearchButton() override {}
  void SetText(const driver::TStatusText& text) override;
  void PumpMessages() override {}
  void WaitForEvent() override {}
  bool Alive() const override { return false; }
  std::string ChosenSourceName() override { return {}; }
  void MessageBox(std::string_view text, std::string_view caption) override;
  // Ends the last line if the status text left it open.
  void Finish();

 private:
  std::FILE* Out;
  bool Quiet;
  std::size_t Printed = 0;
  bool LineOpen = false;
};

}  // namespace veltas::window
