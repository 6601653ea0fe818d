// Test helper for the Windows build under Wine: waits up to SECONDS for the
// status window (class VELTASWND) and until its text has stood still for a
// second, prints its make-up one fact a line and then, after "text:", the
// text area's text as it is (cp1252); -enter then types Enter into it.
// -hold runs a program while FILE is open and shared with no one, so that
// the program can't open it.
//   veltas-wincheck SECONDS [-enter] | -hold FILE PROGRAM ARGUMENTS...
#include <process.h>
#include <windows.h>

#include <cstdio>
#include <string>

std::string Text(HWND window) {
  char text[8192] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

int main(int argc, char** argv) {
  if (argc > 3 && std::string(argv[1]) == "-hold") {
    if (CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) == INVALID_HANDLE_VALUE) return 3;
    return static_cast<int>(_spawnv(_P_WAIT, argv[3], argv + 3));
  }
  int tenths = argc > 1 ? std::stoi(argv[1]) * 10 : 300;
  HWND window;
  while (!(window = FindWindowA("VELTASWND", nullptr)) && tenths-- > 0) Sleep(100);
  if (!window) return 1;
  std::string text;
  for (int stable = 0; stable < 10 && tenths-- > 0; Sleep(100)) {
    std::string now = Text(GetDlgItem(window, 101));
    stable = now == text ? stable + 1 : 0;
    text = now;
  }
  char cls[64];
  RECT outer, client;
  GetClassNameA(window, cls, sizeof cls);
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  std::printf("class=%s\ntitle=%s\nstyle=%08lX\nexstyle=%08lX\nsize=%ldx%ld\nclient=%ldx%ld\n", cls,
              Text(window).c_str(), GetWindowLongA(window, GWL_STYLE), GetWindowLongA(window, GWL_EXSTYLE),
              outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom);
  for (int id : {101, 100, 102}) {
    HWND control = GetDlgItem(window, id);
    if (!control) continue;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    GetClassNameA(control, cls, sizeof cls);
    std::printf("control %d class=%s style=%08lX rect=%ld,%ld,%ld,%ld enabled=%d text=%s\n", id, cls,
                GetWindowLongA(control, GWL_STYLE), r.left, r.top, r.right - r.left, r.bottom - r.top,
                IsWindowEnabled(control), id == 101 ? "" : Text(control).c_str());
  }
  std::printf("text:\n%s", text.c_str());
  if (argc > 2 && std::string(argv[2]) == "-enter") PostMessageA(window, WM_CHAR, 13, 0);
}
