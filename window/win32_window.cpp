#ifdef _WIN32

#include "window/win32_window.h"

#include <commdlg.h>

#include <cstddef>
#include <cstring>

#include "window/window_layout.h"

namespace veltas::window {

namespace {

namespace w = layout;

constexpr DWORD kClassStyle = 0x00040023;     // CS_VREDRAW | CS_HREDRAW | CS_OWNDC | 0x00040000
constexpr DWORD kWindowExStyle = 0x00050100;  // WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW
constexpr DWORD kWindowStyle = 0x10CA0000;    // WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
constexpr DWORD kTextStyle = 0x50040000;      // child, visible, sizing frame
constexpr DWORD kOkStyle = 0x50010001;        // child, visible, tab stop, default push button
constexpr DWORD kSearchStyle = 0x50010000;    // child, visible, tab stop, push button
constexpr UINT kWorkAreaQuery = 48;           // SPI_GETWORKAREA
constexpr UINT kAsteriskSound = 0x40;
constexpr DWORD kDialogFlags = 0x00201000;  // OFN_FILEMUSTEXIST | OFN_LONGNAMES
constexpr DWORD kNameBuffer = 256;
constexpr DWORD kNameMaximum = 254;

// The open-file-name structure as it was before the Windows 2000 fields:
// up to and including the template name.
constexpr DWORD kDialogStructSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#ifndef _WIN64
static_assert(sizeof(WNDCLASSEXA) == 48);
static_assert(kDialogStructSize == 76);
#endif
static_assert(sizeof w::kFilterList == 88);

// The window procedure is a plain function; it reaches the one window
// object through this pointer, set before the window is created (creating
// it already sends WM_CREATE).
TWin32Window* Current = nullptr;

std::string ClassName() { return std::string(w::kClassName); }

HWND CreateControl(HWND parent, HINSTANCE instance, const char* cls, std::string_view text, DWORD style,
                   const w::TRect& r, int id) {
  std::string caption(text);
  return CreateWindowExA(0, cls, caption.c_str(), style, r.X, r.Y, r.W, r.H, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

driver::TCreateResult TWin32Window::Create(std::string_view title) {
  Current = this;
  std::string className = ClassName();
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof cls;
  cls.style = kClassStyle;
  cls.lpfnWndProc = WindowProc;
  cls.cbClsExtra = 0;
  cls.cbWndExtra = 0;
  cls.hInstance = Instance;
  // The program carries no icon resource 1: both icons stay empty.
  cls.hIcon = LoadIconA(Instance, MAKEINTRESOURCEA(1));
  cls.hIconSm = LoadIconA(Instance, MAKEINTRESOURCEA(1));
  cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
  cls.lpszMenuName = "";
  cls.lpszClassName = className.c_str();
  if ((RegisterClassExA(&cls) & 0xFFFF) == 0) return driver::TCreateResult::NoAtom;

  RECT work{};
  SystemParametersInfoA(kWorkAreaQuery, 0, &work, 0);
  w::TPoint at = w::CenteredPosition(work.right - work.left, work.bottom - work.top);

  std::string caption(title);
  MainWindow = CreateWindowExA(kWindowExStyle, className.c_str(), caption.c_str(), kWindowStyle, at.X, at.Y,
                               w::kWindowWidth, w::kWindowHeight, nullptr, nullptr, Instance, nullptr);
  if (!MainWindow) return driver::TCreateResult::NoHandle;
  WindowAlive = true;
  return driver::TCreateResult::Ok;
}

void TWin32Window::AddSearchButton() {
  if (!MainWindow || SearchButton) return;
  SearchButton = CreateControl(MainWindow, Instance, "BUTTON", w::kSearchText, kSearchStyle,
                               w::SearchButtonRect(Client.right, Client.bottom), w::kIdSearch);
}

void TWin32Window::DisableSearchButton() {
  if (SearchButton) EnableWindow(SearchButton, FALSE);
}

void TWin32Window::SetText(const driver::TStatusText& text) {
  // The text control breaks lines at CR LF, the status text has a lone CR.
  if (MainWindow && IsWindow(MainWindow))
    SetDlgItemTextA(MainWindow, w::kIdText, w::WithLineEnds(text.Raw(), "\r\n").c_str());
}

void TWin32Window::PumpMessages() {
  MSG message;
  for (int empty = 0; empty < 20;) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      ++empty;
      continue;
    }
    WindowAlive = GetMessageA(&message, nullptr, 0, 0) != 0;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TWin32Window::WaitForEvent() {
  // The pump has emptied the queue; sleep until the next message comes.
  if (WindowAlive) WaitMessage();
}

void TWin32Window::MessageBox(std::string_view text, std::string_view caption) {
  std::string t(text), c(caption);
  MessageBoxA(nullptr, t.c_str(), c.c_str(), MB_OK);
}

void TWin32Window::RunDialog() {
  char buffer[kNameBuffer];
  std::memset(buffer, 0, sizeof buffer);
  std::string title(w::kDialogTitle);
  OPENFILENAMEA dialog;
  std::memset(&dialog, 0, sizeof dialog);
  dialog.lStructSize = kDialogStructSize;
  dialog.hwndOwner = nullptr;
  dialog.hInstance = nullptr;
  dialog.lpstrFilter = w::kFilterList;
  dialog.lpstrCustomFilter = nullptr;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = kNameMaximum;
  dialog.lpstrFileTitle = nullptr;
  dialog.lpstrInitialDir = nullptr;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = kDialogFlags;
  dialog.lpstrDefExt = nullptr;
  if (GetOpenFileNameA(&dialog)) Chosen = buffer;
}

LRESULT CALLBACK TWin32Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWin32Window* self = Current;
  switch (message) {
    case WM_CREATE: {
      GetClientRect(window, &self->Client);
      int cw = self->Client.right, ch = self->Client.bottom;
      CreateControl(window, self->Instance, "STATIC", "", kTextStyle, w::TextAreaRect(cw, ch), w::kIdText);
      CreateControl(window, self->Instance, "BUTTON", w::kOkText, kOkStyle, w::OkButtonRect(cw, ch), w::kIdOk);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_CHAR:
      if (wParam == 13) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_COMMAND:
      // The word parameter as a whole: a click carries the identifier with
      // notification code 0.
      if (wParam == static_cast<WPARAM>(w::kIdOk)) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      if (wParam == static_cast<WPARAM>(w::kIdSearch)) {
        self->RunDialog();
        return 0;
      }
      MessageBeep(kAsteriskSound);
      break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace veltas::window

#endif
