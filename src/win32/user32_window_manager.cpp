#include "win32/user32_window_manager.h"

#include <string>

#include "win32/hwnd_value.h"
#include "win32/text_conversion.h"
#include "win32/window_dpi.h"

namespace sirel::win32 {

namespace {

// The text in the ANSI code page; a character it lacks becomes the code page's default one.
std::string ToAnsi(const std::u16string& text) {
  const std::wstring wide = ToWide(text);
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  ansi.resize(static_cast<std::size_t>(size) - 1);
  return ansi;
}

}  // namespace

WindowHandle User32WindowManager::GetActiveWindow() { return WindowHandleOf(::GetActiveWindow()); }

// Only when focus moved: activating the window that is already active is no change, yet costs a
// trip through the window manager (tens to hundreds of microseconds under Wine) per posting.
void User32WindowManager::SetActiveWindow(WindowHandle window) {
  if (window == 0) return;
  const HWND wanted = HwndOf(window);
  if (::GetActiveWindow() != wanted) ::SetActiveWindow(wanted);
}

// Only a window of the calling thread: another process may stop answering at any time, and
// another thread of this one may be a worker that runs no messages; a child of its window would
// make every later call of ours wait for it, and its own DestroyWindow wait for our thread
// (windows of two threads in one tree share their input queues).
WindowHandle User32WindowManager::GetForegroundWindow() {
  const HWND foreground = ::GetForegroundWindow();
  if (foreground == nullptr ||
      GetWindowThreadProcessId(foreground, nullptr) != GetCurrentThreadId()) {
    return 0;
  }
  return WindowHandleOf(foreground);
}

WindowHandle User32WindowManager::FindUntitledWindowOfClass(const std::u16string& className) {
  const std::string ansi = ToAnsi(className);
  // An empty title, not an absent one: only untitled windows of the class match.
  return WindowHandleOf(::FindWindowA(ansi.c_str(), ""));
}

void User32WindowManager::SetParent(WindowHandle child, WindowHandle parent) {
  if (child == 0) return;
  ::SetParent(HwndOf(child), HwndOf(parent));
  // A child is drawn at its top-level window's DPI: the window may have to follow a new one.
  NoteParentChanged(HwndOf(child));
}

}  // namespace sirel::win32
