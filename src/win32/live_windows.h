// The library's native windows that exist in the process, on every thread, and the loader
// references that keep the library mapped for them. The library must not be unloaded while
// there is one, nor while code of a window runs on some thread's stack: their procedures live
// in it.
//
// Each window is noted when it is made and when its procedure sees it destroyed. A window that
// the system removes without telling its procedure (as at the end of its thread) is noticed by
// the count itself, which forgets every noted handle that no longer names a window of the class
// it was made with (a handle value the system gave to another window since is not ours).
//
// Holds: each noted window takes a reference on the module that its code lives in, so that a
// free of the library that asks nothing (Windows at the end of an apartment) cannot unmap it
// under the window. When the window is gone its reference is left, not given back: only
// GiveBackLeftHolds() gives the left ones back, from DllCanUnloadNow when it answers yes, that
// is while its caller (COM) holds a reference of its own, so that no FreeLibrary of the
// library's own code is ever the last one (design in docs/decisions.md).
#pragma once

#include <windows.h>

namespace sirel::win32 {

// None of these throws or takes a lock that can fail: the unload answer relies on them.
LONG LiveWindowCount() noexcept;

// False when the window cannot be noted (no memory): its creation must then fail.
bool NoteWindowCreated(HWND hwnd) noexcept;
void NoteWindowDestroyed(HWND hwnd) noexcept;

// Gives back the module references of windows that are gone. Only for a caller that holds a
// reference of its own for the whole call.
void GiveBackLeftHolds() noexcept;
// For good: the module stays loaded until the process ends.
void KeepModuleForGood() noexcept;

// Marks a frame of a window procedure of the library for its scope; while one runs on any
// thread (a menu or a dialog inside it may run for a long time) the library must not unload.
class WindowCodeRunning {
 public:
  WindowCodeRunning() noexcept;
  ~WindowCodeRunning();
  WindowCodeRunning(const WindowCodeRunning&) = delete;
  WindowCodeRunning& operator=(const WindowCodeRunning&) = delete;
  static bool Any() noexcept;
};

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
