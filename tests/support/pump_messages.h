// The one message pump of the Windows tests: PumpMessages() runs every message waiting for the
// calling thread; WaitPumping(handle, ms) runs them while it waits for a handle (a thread or a
// child process whose window may be attached to one of this thread's windows must have its
// messages answered), and says whether the handle was signalled in time.
#pragma once

#include <windows.h>

namespace sirel::test_support {

inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

inline bool WaitPumping(HANDLE handle, DWORD timeoutMs = INFINITE) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (MsgWaitForMultipleObjects(1, &handle, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
      return true;
    }
    if (timeoutMs != INFINITE && GetTickCount64() >= deadline) return false;
    PumpMessages();
  }
}

}  // namespace sirel::test_support
