// What both status windows share: the dialog's filter list, the window's
// position, the places of the controls, the line ends of the text area and
// the filter list in the toolkit's syntax.
#include <gtest/gtest.h>

#include <string>

#include "window/window_layout.h"

namespace veltas::window::layout {
namespace {

TEST(WindowLayout, FilterListHasTheFourFiltersAndEndsWithAnExtraZero) {
  // Description and pattern of each filter, each ended by a zero, then one
  // more zero: 12 + 7 + 22 + 7 + 16 + 6 + 13 + 4 + 1 = 88 characters.
  const std::string expected(
      "Pic Quellen\0*.PIC;\0alle Assemblerquellen\0*.ASM;\0Include-Dateien\0*.INC\0alle Dateien\0*.*\0\0", 88);
  EXPECT_EQ(std::string(kFilterList, sizeof kFilterList), expected);
}

TEST(WindowLayout, WindowIsCentredInTheWorkAreaAndClampedToZero) {
  struct Case {
    int workW, workH;
    TPoint expected;
  };
  const Case cases[] = {
      {1920, 1050, {650, 375}},                           // (1920 - 620) / 2, (1050 - 300) / 2
      {1024, 768, {202, 234}},  {1023, 767, {201, 233}},  // odd differences are halved downwards
      {620, 300, {0, 0}},                                 // exactly the window's size
      {621, 301, {0, 0}},       {600, 280, {0, 0}},       // smaller than the window: clamped, not far off
      {1000, 200, {190, 0}},                              // only the height is too small
      {0, 0, {0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(CenteredPosition(c.workW, c.workH), c.expected) << c.workW << " x " << c.workH;
}

TEST(WindowLayout, ControlsArePlacedFromTheClientArea) {
  // Text area: 5, 5, W - 10, H - 45; OK: W - 205, H - 35, 200 x 30;
  // search: 5, H - 35, 200 x 30.
  struct Case {
    int w, h;
    TRect text, ok, search;
  };
  const Case cases[] = {
      {614, 275, {5, 5, 604, 230}, {409, 240, 200, 30}, {5, 240, 200, 30}},
      {620, 300, {5, 5, 610, 255}, {415, 265, 200, 30}, {5, 265, 200, 30}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextAreaRect(c.w, c.h), c.text);
    EXPECT_EQ(OkButtonRect(c.w, c.h), c.ok);
    EXPECT_EQ(SearchButtonRect(c.w, c.h), c.search);
  }
  // The client area used by the toolkit window: 620 x 300 less the frame
  // of 3 on each side and the caption of 19.
  EXPECT_EQ(kClientWidth, 620 - 3 - 3);
  EXPECT_EQ(kClientHeight, 300 - 19 - 3 - 3);
}

TEST(WindowLayout, EachCarriageReturnStartsALine) {
  struct Case {
    const char* text;
    const char* lineEnd;
    const char* expected;
  };
  const Case cases[] = {
      {"\rPass 1 ...done\rPass 2", "\n", "\nPass 1 ...done\nPass 2"},
      {"\rPass 1 ...done\rPass 2", "\r\n", "\r\nPass 1 ...done\r\nPass 2"},
      {"a\r\rb\r", "\n", "a\n\nb\n"},
      {"Code\tbis \t0012h", "\n", "Code\tbis \t0012h"},  // tabs stay
      {"", "\r\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WithLineEnds(c.text, c.lineEnd), c.expected);
}

TEST(WindowLayout, ToolkitFilterMatchesEveryLetterCaseAndAllNames) {
  EXPECT_EQ(FltkFilter(),
            "Pic Quellen (*.[Pp][Ii][Cc])\t"
            "alle Assemblerquellen (*.[Aa][Ss][Mm])\t"
            "Include-Dateien (*.[Ii][Nn][Cc])\t"
            "alle Dateien (*)");
}

}  // namespace
}  // namespace veltas::window::layout
