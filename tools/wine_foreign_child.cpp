// A minimal program, apart from Sirel, showing what Wine does with a window that is the child of
// another process's window (docs/win32-shell.md): the window is never drawn, and scrolling its
// shown LISTBOX (here LB_SETTOPINDEX, once the lines fill the list) never returns.
//   x86_64-w64-mingw32-g++-posix -O1 -static wine_foreign_child.cpp -o wine_foreign_child.exe
//   wine64 wine_foreign_child.exe host & sleep 2; wine64 wine_foreign_child.exe child
//   wine_foreign_child host   a visible popup window of class WineForeignChildHost that runs its messages for 25 s
//   wine_foreign_child child  a frame with a LISTBOX, SetParent to the host's window, shown, 20 lines added
//                each scrolled to the top (LB_SETTOPINDEX) and followed by RedrawWindow(RDW_UPDATENOW);
//                prints each step's time
#include <windows.h>
#include <cstdio>
#include <cstring>
static double Ms() { LARGE_INTEGER f, c; QueryPerformanceFrequency(&f); QueryPerformanceCounter(&c); return c.QuadPart * 1000.0 / f.QuadPart; }
int main(int argc, char** argv) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc{}; wc.lpfnWndProc = DefWindowProcW; wc.hInstance = inst; wc.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
  if (argc > 1 && !strcmp(argv[1], "host")) {
    wc.lpszClassName = L"WineForeignChildHost"; RegisterClassW(&wc);
    CreateWindowExW(0, L"WineForeignChildHost", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, inst, nullptr);
    DWORD end = GetTickCount() + 25000; MSG m;
    while (GetTickCount() < end) { while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m); MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT); }
    return 0;
  }
  wc.lpszClassName = L"WineForeignChildFrame"; wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1); RegisterClassW(&wc);
  HWND host = FindWindowW(L"WineForeignChildHost", L"");
  HWND frame = CreateWindowExW(0, L"WineForeignChildFrame", L"WineForeignChild", WS_OVERLAPPEDWINDOW, 100, 300, 547, 139, nullptr, nullptr, inst, nullptr);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD|WS_VISIBLE|WS_VSCROLL|LBS_EXTENDEDSEL|LBS_NOTIFY|LBS_HASSTRINGS, 0,0,526,90, frame, (HMENU)1, inst, nullptr);
  double t = Ms();
  SetParent(frame, host);
  printf("host %p SetParent %.1f ms\n", (void*)host, Ms() - t); fflush(stdout);
  t = Ms(); ShowWindow(frame, SW_SHOW); printf("ShowWindow %.1f ms\n", Ms() - t); fflush(stdout);
  for (int i = 1; i <= 20; ++i) {
    wchar_t text[64]; swprintf(text, 64, L"WineForeignChild line %d", i);
    t = Ms(); LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)text); SendMessageW(list, LB_SETTOPINDEX, at, 0); double add = Ms() - t;
    t = Ms(); RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); double draw = Ms() - t;
    printf("line %d: add %.1f ms, redraw %.1f ms\n", i, add, draw); fflush(stdout);
    Sleep(100);
  }
  printf("child done, visible %d\n", IsWindowVisible(frame));
  return 0;
}
