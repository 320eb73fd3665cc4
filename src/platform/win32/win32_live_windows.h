// The number of the library's native windows that exist in the process, on every thread. The
// library must not be unloaded while it is above zero: those windows' procedures live in it.
#pragma once

#include <windows.h>

namespace sirel::win32 {

LONG LiveWindowCount();

// Called by the window procedure when a native window is made and when it is gone.
void NoteWindowCreated();
void NoteWindowDestroyed();

}  // namespace sirel::win32
