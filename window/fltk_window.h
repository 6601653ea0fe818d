// The status window on X11 with FLTK: the same window as on Windows (title,
// texts, controls and their places, Enter/"OK"/close box close it, the
// search button opens a file chooser "Pic Quelldatei" with the four filters).
#pragma once

#include <memory>
#include <string>

#include "driver/status.h"

class Fl_Double_Window;
class Fl_Box;
class Fl_Button;
class Fl_File_Chooser;

namespace veltas::window {

class TFltkWindow : public driver::TStatusWindow {
 public:
  TFltkWindow();
  ~TFltkWindow() override;
  TFltkWindow(const TFltkWindow&) = delete;
  TFltkWindow& operator=(const TFltkWindow&) = delete;

  // NoHandle when no display can be opened; never NoAtom (X11 has no
  // window classes to register).
  driver::TCreateResult Create(std::string_view title) override;
  void AddSearchButton() override;
  void DisableSearchButton() override;
  void SetText(const driver::TStatusText& text) override;
  void PumpMessages() override;
  void WaitForEvent() override;
  bool Alive() const override;
  std::string ChosenSourceName() override;
  // A modal box with one "OK" button while a display is open; without one
  // "caption: text" on standard error.
  void MessageBox(std::string_view text, std::string_view caption) override;

  // The widgets, for the tests; null until they exist.
  struct TView {
    Fl_Double_Window* Window = nullptr;
    Fl_Box* Text = nullptr;
    Fl_Button* Ok = nullptr;
    Fl_Button* Search = nullptr;
    Fl_File_Chooser* Chooser = nullptr;  // only while the dialog is open
  };
  TView View() const;
  // The text as the text area shows it (UTF-8, one line per CR).
  std::string ShownText() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl;
};

}  // namespace veltas::window
