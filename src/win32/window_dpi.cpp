#include "win32/window_dpi.h"

namespace sirel::win32 {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction LookUpGetDpiForWindow() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND hwnd) {
  static const GetDpiForWindowFunction getDpiForWindow = LookUpGetDpiForWindow();
  const UINT dpi = getDpiForWindow != nullptr && hwnd != nullptr ? getDpiForWindow(hwnd) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

UINT ParentChangedMessage() {
  static const UINT message = RegisterWindowMessageW(L"SirelParentChanged");
  return message;
}

void NoteParentChanged(HWND child) {
  // Only a window of this thread: another thread's window would make this call wait for it.
  if (child == nullptr || ParentChangedMessage() == 0 ||
      GetWindowThreadProcessId(child, nullptr) != GetCurrentThreadId()) {
    return;
  }
  SendMessageW(child, ParentChangedMessage(), 0, 0);
}

void DpiListFont::Follow(HWND list, int dpi, int systemDpi) {
  if (list == nullptr) return;
  if (dpi == systemDpi) {
    if (font_ == nullptr) return;
    SendMessageW(list, WM_SETFONT, 0, TRUE);  // back to the default font
    Release();
    return;
  }
  if (font_ != nullptr && dpi == dpi_) return;
  // The font a control without one draws with, at the system DPI.
  LOGFONTW face{};
  if (GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(face), &face) == 0) return;
  face.lfHeight = MulDiv(face.lfHeight, dpi, systemDpi);
  face.lfWidth = MulDiv(face.lfWidth, dpi, systemDpi);
  HFONT font = CreateFontIndirectW(&face);
  if (font == nullptr) return;
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  Release();
  font_ = font;
  dpi_ = dpi;
}

void DpiListFont::Release() noexcept {
  if (font_ != nullptr) DeleteObject(font_);
  font_ = nullptr;
  dpi_ = 0;
}

}  // namespace sirel::win32
