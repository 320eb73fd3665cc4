// Helpers shared by the Win32 shell's tests: pumping the thread's messages, the thread's message
// window loaded afresh for each test, sizes in twips, a plain top-level window to parent to, and
// a watcher that sees the pop-up menu open and answers it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "thread/thread_state.h"
#include "support/pump_messages.h"
#include "support/test_window.h"
#include "win32/message_form.h"

namespace sirel::win32::testing {

// Dispatches every message waiting for the calling thread.
using test_support::PumpMessages;

// The calling thread's message window, as the core obtains it.
MessageForm& ThreadWindow();

// Closes the thread's window through its frame (WM_CLOSE), as a user would.
void CloseThroughFrame(MessageForm& window);

// Outer rectangles of windows, in screen pixels.
RECT ScreenRect(HWND hwnd);
inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

// The parent the window system records for a window; nullptr for the desktop.
HWND ParentOf(HWND hwnd);

// Each test starts with the thread's window closed, so the first use loads it afresh.
class FreshWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// The tests' top-level window, visible, with the thread's messages pumped after it is made and
// after it is destroyed.
class HostWindow : public test_support::TestWindow {
 public:
  static constexpr const wchar_t* kClassName = L"SirelTestHost";
  explicit HostWindow(const wchar_t* title = L"", const wchar_t* className = kClassName)
      : TestWindow(true, title, className) {
    PumpMessages();
  }
  ~HostWindow() {
    Destroy();
    PumpMessages();
  }
};

// What a menu watcher saw of one opened pop-up menu.
struct OpenedMenu {
  std::vector<std::wstring> captions;
  RECT screen{};  // the menu window's rectangle
};

// Watches the calling thread for pop-up menus. When one opens and the thread idles in it, the
// watcher records it and answers with `answer` (a key or character message posted to the menu
// loop), so tests never hang in a menu.
class MenuWatcher {
 public:
  struct Answer {
    UINT message;  // WM_KEYDOWN (VK_ESCAPE, VK_RETURN, ...) or WM_CHAR (an access key)
    WPARAM code;
  };
  explicit MenuWatcher(Answer answer = {WM_KEYDOWN, VK_ESCAPE});
  ~MenuWatcher();
  const std::vector<OpenedMenu>& opened() const { return opened_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  UniqueHook hook_;
  Answer answer_;
  std::vector<OpenedMenu> opened_;
};

// Watches the calling thread for message boxes: records each one's title and text and closes
// it with OK, so a test can check what the user would have been told.
class MessageBoxWatcher {
 public:
  struct Shown {
    std::wstring title;
    std::wstring text;
  };
  MessageBoxWatcher();
  ~MessageBoxWatcher();
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  UniqueHook hook_;
  std::vector<Shown> shown_;
};

// Sets or clears keys in the thread's keyboard state (what GetKeyState reads) for a scope.
class HeldKeys {
 public:
  explicit HeldKeys(std::initializer_list<int> keys);
  ~HeldKeys();

 private:
  BYTE saved_[256]{};
};

// Where a line of a list box is, in the list's client coordinates (its middle).
POINT LinePoint(HWND listbox, int index);

}  // namespace sirel::win32::testing
