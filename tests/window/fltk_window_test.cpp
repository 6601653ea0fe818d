// What the FLTK status window shows of a whole run: each CR a line break, the
// program's cp1252 words as UTF-8. Needs a display (scripts/test.d/50-window.sh
// runs it under Xvfb, with the window programs end to end); skipped without.
#include "window/fltk_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver/run.h"
#include "tests/support/memory_files.h"

// The font library keeps its caches until the process ends (sanitizer builds).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libX11.so\n"; }

namespace veltas::window {
namespace {

TEST(FltkWindow, ShowsTheStatusTextOfTheRun) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  testing::TMemoryFiles files;
  files.Inputs["test.pic"] = "  ORG 0x12\n  NOP\n  ORG 0x2007\n  DATA 0x3FFF\n";
  TFltkWindow win;
  // "OK" once the run waits for the window to close.
  Fl::add_timeout(0.5, [](void* w) { static_cast<TFltkWindow*>(w)->View().Ok->do_callback(); }, &win);
  EXPECT_EQ(driver::RunSequence({"test.pic"}, win, files).Outcome, driver::TRunOutcome::Success);
  EXPECT_EQ(win.ShownText(),
            "Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n"
            "übersetze test.pic nach test.HEX (HEX-Datei)  +  test.PRN (AssemblerListe)\n"
            "\nPass 1 ...done\nPass 2 ...done\n"
            "Code\tbis \t0012h : Keine Fehler gefunden.\n"
            "Fuses  @ 2007h : gesetzt\n"
            "ID 2000..2003h : fehlen!\n");
}

}  // namespace
}  // namespace veltas::window
