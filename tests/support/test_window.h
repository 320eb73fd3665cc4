// The one throwaway top-level window of the Windows tests: a plain window of a class of the
// tests' own (DefWindowProc), hidden unless asked, destroyed with the object. For parenting,
// focus and owning the clipboard.
#pragma once

#include <windows.h>

#include "win32/unique_resource.h"

namespace sirel::test_support {

class TestWindow {
 public:
  static constexpr const wchar_t* kClassName = L"SirelTestWindow";

  explicit TestWindow(bool visible = false, const wchar_t* title = L"",
                      const wchar_t* className = kClassName) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    RegisterClassExW(&windowClass);  // a second registration of the class fails harmlessly
    window_.reset(CreateWindowExW(0, className, title,
                                  WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40, 40, 900,
                                  600, nullptr, nullptr, module, nullptr));
  }

  HWND hwnd() const { return window_.get(); }
  void Destroy() { window_.reset(); }

 private:
  win32::UniqueWindow window_;
};

}  // namespace sirel::test_support
