// Test helper for the Windows build under Wine: waits for the status window
// (class "VELTASWND") and for its text to stop changing, and prints what the
// window is made of, one fact a line, so that the test script can compare it
// with the expected window:
//   wincheck [-text FILE] [-enter] SECONDS
// -text writes the text area's text to FILE as it is (cp1252 bytes); -enter
// then types Enter into the window (a WM_CHAR 13, as the keyboard would).
// Texts are printed with \r, \n, \t and \xHH escapes. Exit status 1 when no
// such window appears in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Escaped(const char* text) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    char buffer[8];
    switch (*p) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (*p < 0x20 || *p >= 0x7F) {
          std::snprintf(buffer, sizeof buffer, "\\x%02X", *p);
          out += buffer;
        } else {
          out += static_cast<char>(*p);
        }
    }
  }
  return out;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM parent) {
  if (GetParent(child) != reinterpret_cast<HWND>(parent)) return TRUE;
  char cls[64], text[4096];
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT*>(&r), 2);
  std::printf("control %d class=%s style=%08lX rect=%ld,%ld,%ld,%ld enabled=%d visible=%d text=%s\n",
              GetDlgCtrlID(child), cls, static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)), r.left, r.top,
              r.right - r.left, r.bottom - r.top, IsWindowEnabled(child) ? 1 : 0, IsWindowVisible(child) ? 1 : 0,
              Escaped(text).c_str());
  return TRUE;
}

}  // namespace

std::string TextOf(HWND window, int id) {
  char text[8192];
  GetDlgItemTextA(window, id, text, sizeof text);
  return text;
}

int main(int argc, char** argv) {
  const char* textFile = nullptr;
  bool enter = false;
  int seconds = 30;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-text" && i + 1 < argc)
      textFile = argv[++i];
    else if (arg == "-enter")
      enter = true;
    else
      seconds = std::atoi(argv[i]);
  }
  HWND window = nullptr;
  int waited = 0;
  for (; waited < seconds * 10 && !window; ++waited) {
    window = FindWindowA("VELTASWND", nullptr);
    if (!window) Sleep(100);
  }
  if (!window) {
    std::printf("no window of class VELTASWND\n");
    return 1;
  }
  // The run goes on after the window appears: wait until the text has not
  // changed for a second.
  std::string text = TextOf(window, 101);
  for (int stable = 0; stable < 10 && waited < seconds * 10; ++waited) {
    Sleep(100);
    std::string now = TextOf(window, 101);
    stable = now == text ? stable + 1 : 0;
    text = now;
  }
  char title[256], cls[64];
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, cls, sizeof cls);
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  std::printf("class=%s\n", cls);
  std::printf("title=%s\n", Escaped(title).c_str());
  std::printf("style=%08lX\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  std::printf("exstyle=%08lX\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
  std::printf("size=%ldx%ld\n", outer.right - outer.left, outer.bottom - outer.top);
  std::printf("client=%ldx%ld\n", client.right, client.bottom);
  EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(window));
  std::fflush(stdout);
  if (textFile) {
    if (std::FILE* f = std::fopen(textFile, "wb")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
  }
  if (enter) PostMessageA(window, WM_CHAR, 13, 0);
  return 0;
}
