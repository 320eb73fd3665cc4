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

}  // namespace sirel::win32
