// The message window's class: registered once per process, with its two icons, and released
// at an unload.
#include <mutex>

#include "core/errors.h"
#include "win32/message_form.h"
#include "win32/resource_ids.h"

namespace sirel::win32 {

namespace {

HICON LoadWindowIcon(HINSTANCE instance, int metricX, int metricY) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SIREL_MESSAGES), IMAGE_ICON,
                                       GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                       LR_DEFAULTCOLOR));
}

std::mutex g_class_mutex;
bool g_class_registered = false;
HICON g_class_icons[2] = {};  // large and small; destroyed with the class at an unload

}  // namespace

// A class left behind by an earlier load of the library (classes of a DLL outlive it) is
// replaced, since its procedure address is stale.
void MessageForm::RegisterWindowClass(HINSTANCE instance) {
  std::lock_guard<std::mutex> lock(g_class_mutex);
  if (g_class_registered) return;
  if (g_class_icons[0] == nullptr) g_class_icons[0] = LoadWindowIcon(instance, SM_CXICON, SM_CYICON);
  if (g_class_icons[1] == nullptr) {
    g_class_icons[1] = LoadWindowIcon(instance, SM_CXSMICON, SM_CYSMICON);
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MessageForm::WindowProc;
  wc.hInstance = instance;
  wc.hIcon = g_class_icons[0];
  wc.hIconSm = g_class_icons[1];
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = MessageForm::kClassName;
  if (RegisterClassExW(&wc) == 0) {
    if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS ||
        !UnregisterClassW(MessageForm::kClassName, instance) ||
        RegisterClassExW(&wc) == 0) {
      throw SirelError(ErrorCode::WindowCreate);
    }
  }
  g_class_registered = true;
}

void MessageForm::ReleaseWindowClass(HINSTANCE instance) noexcept {
  if (g_class_registered) UnregisterClassW(kClassName, instance);
  g_class_registered = false;
  for (HICON& icon : g_class_icons) {
    if (icon != nullptr) DestroyIcon(icon);
    icon = nullptr;
  }
}

}  // namespace sirel::win32
