// A scripted status window: records what the run sequence does with it and
// plays back a user (a file chosen in the dialog, the window closed).
#pragma once

#include <string>
#include <vector>

#include "driver/status.h"

namespace veltas::testing {

class TFakeWindow : public driver::TStatusWindow {
 public:
  driver::TCreateResult CreateResult = driver::TCreateResult::Ok;
  // The dialog's choice, delivered after this many pumps; empty: never.
  std::string DialogChoice;
  int PumpsBeforeChoice = 0;
  // The user closes the window after this many pumps (-1: at once when the
  // run waits for it).
  int PumpsBeforeClose = -1;

  // What happened.
  std::string Title;
  std::string Text;  // raw bytes of the last SetText
  std::vector<std::string> Events;
  int Pumps = 0;
  bool SearchButton = false, SearchButtonEnabled = false;

  driver::TCreateResult Create(std::string_view title) override {
    Title = std::string(title);
    Events.push_back("create");
    return CreateResult;
  }
  void AddSearchButton() override {
    SearchButton = SearchButtonEnabled = true;
    Events.push_back("add-search");
  }
  void DisableSearchButton() override {
    SearchButtonEnabled = false;
    Events.push_back("disable-search");
  }
  void SetText(const driver::TStatusText& text) override { Text = text.Raw(); }
  void PumpMessages() override {
    ++Pumps;
    if (PumpsBeforeClose >= 0 && Pumps >= PumpsBeforeClose) Closed = true;
  }
  void WaitForEvent() override {
    Events.push_back("wait");
    // Without a scripted close, the user closes the window as soon as
    // nothing else is left to do.
    if (PumpsBeforeClose < 0 && (DialogChoice.empty() || Delivered)) Closed = true;
  }
  bool Alive() const override { return !Closed; }
  std::string ChosenSourceName() override {
    if (DialogChoice.empty() || Pumps < PumpsBeforeChoice) return {};
    Delivered = true;
    return DialogChoice;
  }
  void MessageBox(std::string_view text, std::string_view caption) override {
    Events.push_back("message:" + std::string(caption) + ":" + std::string(text));
  }

 private:
  bool Closed = false;
  bool Delivered = false;
};

}  // namespace veltas::testing
