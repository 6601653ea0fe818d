// The FLTK status window: title, controls and their places, the text as it
// is shown, how it closes, and the file chooser. Needs a display (run under
// Xvfb by scripts/test.d/50-window.sh); skipped without one.
#include "window/fltk_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/filename.H>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "driver/run.h"
#include "tests/support/run.h"
#include "tests/support/memory_files.h"
#include "window/window_layout.h"

namespace veltas::window {
using namespace driver;
namespace {

namespace fs = std::filesystem;

class FltkWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  }
};

// The rectangle of a widget, to compare with the layout's.
layout::TRect RectOf(const Fl_Widget* w) { return {w->x(), w->y(), w->w(), w->h()}; }

// Delivers a key to the window as the X server would.
void PressKey(Fl_Window* win, int key, const char* text) {
  static char buffer[8];  // the toolkit may change the text in place
  std::snprintf(buffer, sizeof buffer, "%s", text);
  Fl::e_keysym = key;
  Fl::e_text = buffer;
  Fl::e_length = static_cast<int>(std::strlen(text));
  Fl::e_state = 0;
  Fl::handle(FL_KEYBOARD, win);
}

// Runs a step from inside the event loop after a short delay.
void Later(double seconds, std::function<void()> step) {
  auto* heap = new std::function<void()>(std::move(step));
  Fl::add_timeout(
      seconds,
      [](void* data) {
        std::unique_ptr<std::function<void()>> f(static_cast<std::function<void()>*>(data));
        (*f)();
      },
      heap);
}

// The chooser's file list.
Fl_File_Browser* FindFileList(Fl_Group* group) {
  for (int i = 0; i < group->children(); ++i) {
    Fl_Widget* child = group->child(i);
    if (auto* list = dynamic_cast<Fl_File_Browser*>(child)) return list;
    if (Fl_Group* inner = child->as_group())
      if (Fl_File_Browser* list = FindFileList(inner)) return list;
  }
  return nullptr;
}

TEST_F(FltkWindow, HasTitleClassSizeAndPosition) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("MicroChip PIC-Assembler V2.13 (32bit)"), TCreateResult::Ok);
  Fl_Double_Window* w = win.View().Window;
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(w->label(), "MicroChip PIC-Assembler V2.13 (32bit)");
  EXPECT_STREQ(w->xclass(), "VELTASWND");
  EXPECT_TRUE(w->shown());
  EXPECT_EQ(w->w(), 614);
  EXPECT_EQ(w->h(), 275);
  int x, y, ww, wh;
  Fl::screen_work_area(x, y, ww, wh, 0);
  EXPECT_EQ(w->x(), ww > 620 ? (ww - 620) / 2 : 0);
  EXPECT_EQ(w->y(), wh > 300 ? (wh - 300) / 2 : 0);
  EXPECT_TRUE(win.Alive());
}

TEST_F(FltkWindow, HasTextAreaAndOkButtonAndTheSearchButtonOnlyWhenAdded) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  TFltkWindow::TView v = win.View();
  ASSERT_NE(v.Text, nullptr);
  ASSERT_NE(v.Ok, nullptr);
  EXPECT_EQ(v.Search, nullptr);
  EXPECT_EQ(RectOf(v.Text), (layout::TRect{5, 5, 604, 230}));
  EXPECT_EQ(RectOf(v.Ok), (layout::TRect{409, 240, 200, 30}));
  EXPECT_STREQ(v.Ok->label(), "OK");
  EXPECT_EQ(v.Window->children(), 2);

  win.AddSearchButton();
  v = win.View();
  ASSERT_NE(v.Search, nullptr);
  EXPECT_EQ(RectOf(v.Search), (layout::TRect{5, 240, 200, 30}));
  EXPECT_STREQ(v.Search->label(), "&Quelldatei suchen");
  EXPECT_TRUE(v.Search->visible());
  EXPECT_TRUE(v.Search->active());

  win.DisableSearchButton();
  EXPECT_TRUE(v.Search->visible());  // disabled, but it stays
  EXPECT_FALSE(v.Search->active());
}

TEST_F(FltkWindow, ShowsEachCarriageReturnAsLineBreakAndCp1252AsUtf8) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  TStatusText text;
  text.AppendAnsi("\374bersetze ");      // cp1252 "ü"
  text.AppendNative("t\xC3\xA4st.pic");  // a file name stays as it is (UTF-8 "ä")
  text.AppendAnsi(" nach x\r\rPass 1");
  text.AppendAnsi(" ...done\rFuses  @ 2007h : gesetzt\r");
  win.SetText(text);
  EXPECT_EQ(win.ShownText(), "übersetze täst.pic nach x\n\nPass 1 ...done\nFuses  @ 2007h : gesetzt\n");
}

TEST_F(FltkWindow, OkButtonClosesTheWindow) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  win.View().Ok->do_callback();
  EXPECT_FALSE(win.Alive());
  EXPECT_FALSE(win.View().Window->shown());
}

TEST_F(FltkWindow, EnterClosesTheWindowAndEscapeDoesNot) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  PressKey(win.View().Window, FL_Escape, "\x1b");
  EXPECT_TRUE(win.Alive());
  PressKey(win.View().Window, 'a', "a");
  EXPECT_TRUE(win.Alive());
  PressKey(win.View().Window, FL_Enter, "\r");
  EXPECT_FALSE(win.Alive());
}

TEST_F(FltkWindow, CloseBoxClosesTheWindow) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  Fl::handle(FL_CLOSE, win.View().Window);
  EXPECT_FALSE(win.Alive());
}

// The chooser's file-name input.
Fl_File_Input* FindInput(Fl_Group* group) {
  for (int i = 0; i < group->children(); ++i) {
    Fl_Widget* child = group->child(i);
    if (auto* input = dynamic_cast<Fl_File_Input*>(child)) return input;
    if (Fl_Group* inner = child->as_group())
      if (Fl_File_Input* input = FindInput(inner)) return input;
  }
  return nullptr;
}

// The chooser's button with the given label.
Fl_Button* FindButton(Fl_Group* group, const char* label) {
  for (int i = 0; i < group->children(); ++i) {
    Fl_Widget* child = group->child(i);
    if (auto* b = dynamic_cast<Fl_Button*>(child); b && b->label() && std::strcmp(b->label(), label) == 0) return b;
    if (Fl_Group* inner = child->as_group())
      if (Fl_Button* b = FindButton(inner, label)) return b;
  }
  return nullptr;
}

// The chooser: title, first filter; a chosen file becomes the name, a
// cancel (button or close box) leaves it empty and the button can be used
// again.
TEST_F(FltkWindow, SearchButtonOpensTheChooserAndTakesTheChosenName) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  win.AddSearchButton();
  Fl_Button* search = win.View().Search;

  std::string title, filter;
  Later(0.1, [&] {
    Fl_File_Chooser* chooser = win.View().Chooser;
    ASSERT_NE(chooser, nullptr);
    title = chooser->label();
    filter = chooser->filter();
    Fl_Button* cancel = FindButton(chooser->newButton->window(), "Abbrechen");
    ASSERT_NE(cancel, nullptr);
    cancel->do_callback();
  });
  search->do_callback();
  EXPECT_EQ(title, "Pic Quelldatei");
  EXPECT_EQ(filter, "*.[Pp][Ii][Cc]");  // filter 1, "Pic Quellen"
  EXPECT_EQ(win.ChosenSourceName(), "");
  EXPECT_TRUE(win.Alive());

  Later(0.1, [&] { win.View().Chooser->newButton->window()->do_callback(); });  // its close box
  search->do_callback();
  EXPECT_EQ(win.ChosenSourceName(), "");
  EXPECT_TRUE(win.Alive());

  Later(0.1, [&] {
    Fl_File_Chooser* chooser = win.View().Chooser;
    ASSERT_NE(chooser, nullptr);
    chooser->value("/work/some dir/prog.pic");
    chooser->hide();
  });
  search->do_callback();
  EXPECT_EQ(win.ChosenSourceName(), "/work/some dir/prog.pic");
  EXPECT_EQ(win.View().Chooser, nullptr);

  // A name typed without a directory is taken in the chooser's directory.
  std::string dir;
  Later(0.1, [&] {
    Fl_File_Chooser* chooser = win.View().Chooser;
    ASSERT_NE(chooser, nullptr);
    dir = chooser->directory();
    Fl_File_Input* input = FindInput(chooser->newButton->window());
    ASSERT_NE(input, nullptr);
    input->value("typed.pic");
    chooser->hide();
  });
  search->do_callback();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(win.ChosenSourceName(), dir + (dir.back() == '/' ? "" : "/") + "typed.pic");
}

TEST_F(FltkWindow, ClosingTheWindowWhileTheChooserIsOpenEndsTheChoiceEmpty) {
  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  win.AddSearchButton();
  bool chooserWasOpen = false;
  Later(0.1, [&] {
    chooserWasOpen = win.View().Chooser != nullptr;
    Fl::handle(FL_CLOSE, win.View().Window);
  });
  win.View().Search->do_callback();
  EXPECT_TRUE(chooserWasOpen);
  EXPECT_FALSE(win.Alive());
  EXPECT_EQ(win.ChosenSourceName(), "");
}

// The chooser lists files of any letter case under each filter, like the
// system's dialog on Windows; "alle Dateien" lists names without a dot too.
TEST_F(FltkWindow, ChooserFiltersIgnoreLetterCase) {
  fs::path dir = fs::temp_directory_path() / ("veltas-chooser-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const char* name : {"a.pic", "B.PIC", "c.Pic", "d.asm", "E.ASM", "f.inc", "G.INC", "noext", "h.pic.bak"})
    std::ofstream(dir / name) << "x";

  TFltkWindow win;
  ASSERT_EQ(win.Create("t"), TCreateResult::Ok);
  win.AddSearchButton();
  std::vector<std::set<std::string>> listed;
  Later(0.1, [&] {
    Fl_File_Chooser* chooser = win.View().Chooser;
    ASSERT_NE(chooser, nullptr);
    for (int f = 0; f < 4; ++f) {
      chooser->filter_value(f);
      chooser->directory(dir.c_str());
      std::set<std::string> names;
      Fl_File_Browser* list = FindFileList(chooser->newButton->window());
      ASSERT_NE(list, nullptr);
      for (int i = 1; i <= list->size(); ++i) names.insert(list->text(i));
      listed.push_back(names);
    }
    chooser->hide();
  });
  win.View().Search->do_callback();
  fs::remove_all(dir);
  using S = std::set<std::string>;
  ASSERT_EQ(listed.size(), 4u);
  // Directories ("../") are always listed.
  EXPECT_EQ(listed[0], (S{"../", "a.pic", "B.PIC", "c.Pic"}));
  EXPECT_EQ(listed[1], (S{"../", "d.asm", "E.ASM"}));
  EXPECT_EQ(listed[2], (S{"../", "f.inc", "G.INC"}));
  EXPECT_EQ(listed[3], (S{"../", "a.pic", "B.PIC", "c.Pic", "d.asm", "E.ASM", "f.inc", "G.INC", "noext", "h.pic.bak"}));
}

// The whole run with the window: the status text is shown, the window
// waits, Enter closes it.
TEST_F(FltkWindow, RunSequenceShowsTheRunAndWaitsForEnter) {
  testing::TMemoryFiles files;
  files.Inputs["test.pic"] = "  ORG 0x12\n  NOP\n  ORG 0x2007\n  DATA 0x3FFF\n";
  TFltkWindow win;
  bool waited = false;
  Later(0.3, [&] {
    waited = win.Alive();
    PressKey(win.View().Window, FL_Enter, "\r");
  });
  TRunResult result = RunSequence({"test.pic"}, win, files);
  EXPECT_TRUE(waited);
  EXPECT_FALSE(win.Alive());
  EXPECT_EQ(result.Outcome, TRunOutcome::Success);
  EXPECT_EQ(win.ShownText(),
            "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n"
            "übersetze test.pic nach test.HEX (HEX-Datei)  +  test.PRN (AssemblerListe)\n"
            "\nPass 1 ...done\nPass 2 ...done\n"
            "Code\tbis \t0012h : Keine Fehler gefunden.\n"
            "Fuses  @ 2007h : gesetzt\n"
            "ID 2000..2003h : fehlen!\n");
  EXPECT_EQ(files.Outputs.count("test.HEX"), 1u);
}

// Started without arguments: the usage text, the search button; the chosen
// file is assembled, and the button is disabled afterwards.
TEST_F(FltkWindow, RunSequenceWithoutArgumentsAssemblesTheChosenFile) {
  testing::TMemoryFiles files;
  files.Inputs["/src/prog.pic"] = "  NOP\n";
  TFltkWindow win;
  Later(0.2, [&] {
    ASSERT_NE(win.View().Search, nullptr);
    EXPECT_TRUE(win.View().Search->active());
    Later(0.1, [&] {
      win.View().Chooser->value("/src/prog.pic");
      win.View().Chooser->hide();
      Later(0.2, [&] { PressKey(win.View().Window, FL_Enter, "\r"); });
    });
    win.View().Search->do_callback();
  });
  TRunResult result = RunSequence({}, win, files);
  EXPECT_EQ(result.Outcome, TRunOutcome::Success);
  EXPECT_EQ(SourceName, "/src/prog.pic");
  EXPECT_EQ(files.Outputs.count("/src/prog.HEX"), 1u);
  EXPECT_FALSE(win.View().Search->active());
  EXPECT_TRUE(win.View().Search->visible());
  std::string shown = win.ShownText();
  EXPECT_EQ(shown.substr(0, shown.find('\n') + 1),
            "Benutzung:  VELTAS [-L] Quelldatei     ( -L = Adreßliste ausgeben)\n");
}

TEST_F(FltkWindow, RunSequenceWithoutArgumentsEndsWhenTheWindowIsClosed) {
  testing::TMemoryFiles files;
  TFltkWindow win;
  Later(0.2, [&] { Fl::handle(FL_CLOSE, win.View().Window); });
  TRunResult result = RunSequence({}, win, files);
  EXPECT_EQ(result.Outcome, TRunOutcome::SourceMissing);
  EXPECT_EQ(SourceName, ".PIC");
  EXPECT_FALSE(win.View().Search->active());
  EXPECT_TRUE(files.Outputs.empty());
  std::string shown = win.ShownText();
  EXPECT_NE(shown.find("Datei .PIC nicht gefunden\n"), std::string::npos) << shown;
}

}  // namespace
}  // namespace veltas::window
