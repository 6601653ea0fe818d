// What the status window looks like, shared by the Win32 window and the FLTK
// window: texts, sizes, control identifiers, the dialog's filter list, and
// the few computations both need.
#pragma once

#include <string>
#include <string_view>

namespace veltas::window::layout {

inline constexpr std::string_view kClassName = "VELTASWND";

// Outer size of the window and size of each push button.
inline constexpr int kWindowWidth = 620;
inline constexpr int kWindowHeight = 300;
inline constexpr int kButtonWidth = 200;
inline constexpr int kButtonHeight = 30;

// Client area of a 620 x 300 window with the classic fixed frame (3 units
// on each side) and caption (18 units, plus its 1-unit border). The FLTK
// window gets this as its own size, because a toolkit window's size is its
// client area and the decorations are the window manager's.
inline constexpr int kClientWidth = 614;
inline constexpr int kClientHeight = 275;

inline constexpr int kIdOk = 100;
inline constexpr int kIdText = 101;
inline constexpr int kIdSearch = 102;

inline constexpr std::string_view kOkText = "OK";
inline constexpr std::string_view kSearchText = "&Quelldatei suchen";
inline constexpr std::string_view kDialogTitle = "Pic Quelldatei";

// The dialog's filter list: description and pattern of each filter, each
// ended by a zero character, and one more zero at the end (88 characters;
// the compiler adds the last zero).
inline constexpr char kFilterList[] =
    "Pic Quellen\0*.PIC;\0"
    "alle Assemblerquellen\0*.ASM;\0"
    "Include-Dateien\0*.INC\0"
    "alle Dateien\0*.*\0";

struct TRect {
  int X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const TRect&) const = default;
};

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

// Where the window goes in a work area of the given size: centred, and at
// 0 where the work area is smaller than the window (the work area's own
// left and top are not added).
TPoint CenteredPosition(int workWidth, int workHeight);

// The controls, placed in a client area of W x H.
TRect TextAreaRect(int clientWidth, int clientHeight);
TRect OkButtonRect(int clientWidth, int clientHeight);
TRect SearchButtonRect(int clientWidth, int clientHeight);

// The status text as a text control shows it: each CR starts a new line,
// written as lineEnd.
std::string WithLineEnds(std::string_view text, std::string_view lineEnd);

// The filter list in FLTK's syntax ("Name (pattern)" separated by tabs).
// Windows matches patterns without regard to letter case and "*.*" matches
// every name, dot or not; the patterns are rewritten to do the same here.
std::string FltkFilter();

}  // namespace veltas::window::layout
