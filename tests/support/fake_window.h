// A scripted status window: records what the run sequence does with it and
// plays a user (a file chosen in the dialog, the window closed).
#pragma once

#include <string>
#include <vector>

#include "driver/status.h"

namespace veltas::testing {

class TFakeWindow : public driver::TStatusWindow {
 public:
  driver::TCreateResult CreateResult = driver::TCreateResult::Ok;
  std::string DialogChoice;   // delivered at the first look; empty: never
  int PumpsBeforeClose = -1;  // -1: the user closes it when the run waits

  std::string Title;
  std::vector<std::string> Events;
  bool SearchButton = false, SearchButtonEnabled = false;

  driver::TCreateResult Create(std::string_view title) override {
    Title = title;
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
  void SetText(const driver::TStatusText&) override {}
  void PumpMessages() override { Closed |= PumpsBeforeClose >= 0 && ++Pumps >= PumpsBeforeClose; }
  void WaitForEvent() override {
    Events.push_back("wait");
    Closed |= PumpsBeforeClose < 0 && (DialogChoice.empty() || Delivered);
  }
  bool Alive() const override { return !Closed; }
  std::string ChosenSourceName() override {
    Delivered = !DialogChoice.empty();
    return DialogChoice;
  }
  void MessageBox(std::string_view text, std::string_view caption) override {
    Events.push_back("message:" + std::string(caption) + ":" + std::string(text));
  }

 private:
  int Pumps = 0;
  bool Closed = false, Delivered = false;
};

}  // namespace veltas::testing
