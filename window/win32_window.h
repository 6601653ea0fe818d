// The status window on Windows (user32, comdlg32): class "VELTASWND", a
// text area, "OK" and, started without arguments, "&Quelldatei suchen",
// which opens the system's file-open dialog.
#pragma once

#ifdef _WIN32

#include <windows.h>
// The status window's MessageBox, not the macro for MessageBoxA.
#undef MessageBox

#include <string>

#include "driver/status.h"

namespace veltas::window {

class TWin32Window : public driver::TStatusWindow {
 public:
  explicit TWin32Window(HINSTANCE instance) : Instance(instance) {}
  TWin32Window(const TWin32Window&) = delete;
  TWin32Window& operator=(const TWin32Window&) = delete;

  driver::TCreateResult Create(std::string_view title) override;
  void AddSearchButton() override;
  void DisableSearchButton() override;
  void SetText(const driver::TStatusText& text) override;
  void PumpMessages() override;
  void WaitForEvent() override;
  bool Alive() const override { return WindowAlive; }
  std::string ChosenSourceName() override { return Chosen; }
  void MessageBox(std::string_view text, std::string_view caption) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunDialog();

  HINSTANCE Instance;
  HWND MainWindow = nullptr;
  HWND SearchButton = nullptr;
  RECT Client{};
  bool WindowAlive = true;
  std::string Chosen;
};

}  // namespace veltas::window

#endif
