// The library's native windows that exist in the process, on every thread. The library must not
// be unloaded while there is one: their window procedures live in it.
//
// Each window is noted when it is made and when its procedure sees it destroyed. A window that
// the system removes without telling its procedure (as at the end of its thread) is noticed by
// the count itself, which forgets every noted handle that no longer names a window.
#pragma once

#include <windows.h>

namespace sirel::win32 {

// None of these throws or takes a lock that can fail: the unload answer relies on them.
LONG LiveWindowCount() noexcept;

// False when the window cannot be noted (no memory): its creation must then fail.
bool NoteWindowCreated(HWND hwnd) noexcept;
void NoteWindowDestroyed(HWND hwnd) noexcept;

// Told on a window's own thread when the window has been noted as made, and when its procedure
// sees it destroyed (not when the system removes it at its thread's end). The DLL watches a
// thread's apartment while the thread has a window. One observer per process, set at load and
// cleared at unload.
class WindowLifeObserver {
 public:
  // False when the observer cannot follow the window (no memory): its creation then fails.
  virtual bool OnWindowCreated() noexcept = 0;
  virtual void OnWindowDestroyed() noexcept = 0;

 protected:
  ~WindowLifeObserver() = default;
};
void SetWindowLifeObserver(WindowLifeObserver* observer) noexcept;

}  // namespace sirel::win32
