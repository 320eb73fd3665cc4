// The demo client: a small host application with a window of its own. It creates a poster
// through COM by its ProgID while its window is in the foreground (so the message window
// attaches itself to it, as it does in any host), turns on the counter and the priority, shows
// the message window, posts a few dozen messages of mixed priorities and keeps pumping
// messages so that both windows paint. It prints the message window's lines at the end.
//
//   sirel_demo.exe [seconds]     (default 6)
// Prints "WINDOW x y width height" (the host window on the screen) and "READY" once everything
// is shown and painted, for scripts/run-demo.sh to take its screenshot.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Sirel_h.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kHostClass[] = L"SirelDemoHost";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const wchar_t title[] = L"Host application (the Sirel demo client)";
    TextOutW(dc, 12, 10, title, static_cast<int>(wcslen(title)));
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHostWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kHostClass;
  RegisterClassW(&windowClass);
  HWND host = CreateWindowExW(0, kHostClass, L"Sirel demo client", WS_OVERLAPPEDWINDOW, 20, 20,
                              600, 230, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(host, SW_SHOWNORMAL);
  UpdateWindow(host);
  SetForegroundWindow(host);
  return host;
}

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  while (GetTickCount() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

bool Failed(HRESULT status, const char* what) {
  if (SUCCEEDED(status)) return false;
  std::printf("sirel_demo: %s failed with 0x%08lX\n", what, static_cast<unsigned long>(status));
  return true;
}

// The lines of the message window's list, read from the window itself.
void PrintLines(HWND sirelWindow) {
  HWND list = FindWindowExW(sirelWindow, nullptr, L"LISTBOX", nullptr);
  const LRESULT count = list ? SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
  std::printf("The message window holds %ld lines:\n", static_cast<long>(count));
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    std::printf("  %ls\n", text.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 6;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND host = CreateHostWindow();
  Pump(300);

  CLSID classId{};
  ComPtr<_Sireler> poster;
  if (Failed(CLSIDFromProgID(L"Sirel.Sireler", &classId), "CLSIDFromProgID(\"Sirel.Sireler\")") ||
      Failed(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID__Sireler,
                              reinterpret_cast<void**>(poster.GetAddressOf())),
             "creating a Sirel.Sireler")) {
    return 1;
  }

  LONG handle = 0;
  poster->get_hwnd(&handle);
  HWND sirelWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
  if (GetAncestor(sirelWindow, GA_PARENT) != host) {
    // No foreground window to attach to (some window systems): attach to the host by handle.
    VARIANT parent;
    VariantInit(&parent);
    V_VT(&parent) = VT_I4;
    V_I4(&parent) = static_cast<LONG>(reinterpret_cast<LONG_PTR>(host));
    poster->SetParentWindow(&parent);
  }

  VARIANT_BOOL on = VARIANT_TRUE;
  poster->put_ShowCounter(&on);
  poster->put_ShowPriority(&on);
  BSTR caption = SysAllocString(L"Sirel Messages");
  poster->put_Caption(&caption);
  SysFreeString(caption);
  float top = 600;
  float left = 300;
  poster->SetLocation(&top, &left);
  if (Failed(poster->put_FormVisible(&on), "showing the window")) return 1;

  const wchar_t* texts[] = {
      L"Build started",         L"Fetching sources",       L"Compiling the core",
      L"Warning: slow disk",    L"Linking Sirel.dll",      L"Registering the type library",
      L"Running the tests",     L"All tests passed",       L"Uploading the package",
      L"Error: network timeout", L"Retrying upload",        L"Done",
  };
  const LONG priorities[] = {1, 5, 10, 3, 7, -1};
  int posted = 0;
  for (int round = 0; round < 3; ++round) {
    for (const wchar_t* text : texts) {
      BSTR line = SysAllocString(text);
      LONG priority = priorities[posted % 6];
      if (Failed(poster->DoSirel(&line, &priority), "DoSirel")) return 1;
      SysFreeString(line);
      ++posted;
      Pump(30);
    }
  }

  Pump(1500);
  RECT frame{};
  GetWindowRect(host, &frame);
  std::printf("WINDOW %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top);
  LONG count = 0;
  poster->get_Count(&count);
  BSTR last = nullptr;
  poster->get_LastMessage(&last);
  std::printf("Posted %d messages; Count = %ld, LastMessage = \"%ls\"\n", posted,
              static_cast<long>(count), last ? last : L"");
  SysFreeString(last);
  std::printf("READY\n");
  std::fflush(stdout);

  Pump(seconds * 1000);
  PrintLines(sirelWindow);
  std::fflush(stdout);
  poster.Reset();
  DestroyWindow(host);
  CoUninitialize();
  return 0;
}
