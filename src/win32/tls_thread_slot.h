// The threads' states as the DLL keeps them: a pointer in a TLS slot with no thread-exit
// destructor, and a list of every state made, so that the DLL ends them itself from DllMain:
//   - at thread detach the calling thread's state ends: its window object lets go of the native
//     window (disarmed, nothing sent to it) and the system destroys the thread's windows after
//     the detach, as it does for every thread's windows;
//   - at an unload (FreeLibrary; never at process exit) every state left ends the same way.
//     The library is unloaded only when none of its windows exists, so no window is left to
//     reach the freed objects.
// A library that can be unloaded must not run code of its own from a thread-exit destructor:
// under MinGW that runs inside the library's TLS callback, with the loader lock held, and pins
// the library for the thread's life. Nothing here throws (but Adopt) or takes a lock that can
// fail. Of the window system, ending a state calls only two things: it disarms the native window
// (SetWindowLongPtr on the thread's own window, which sends nothing) and destroys the window's
// pop-up menu (DestroyMenu: a menu is not the thread's, so the system would not destroy it
// with the thread's windows, and destroying it sends no message and waits for no one).
#pragma once

#include <windows.h>

#include <vector>

#include "platform/thread_slot.h"

namespace sirel::win32 {

class TlsThreadSlot final : public ThreadSlot {
 public:
  // At process attach: allocates the TLS index; false when none is left.
  bool Begin() noexcept;
  // At thread detach.
  void EndCurrent() noexcept;
  // At an unload.
  void EndAll() noexcept;

  ThreadOwned* Get() noexcept override;
  void Adopt(std::unique_ptr<ThreadOwned> owned) override;

 private:
  void Forget(ThreadOwned* owned) noexcept;

  DWORD index_ = TLS_OUT_OF_INDEXES;
  SRWLOCK lock_ = SRWLOCK_INIT;
  std::vector<ThreadOwned*> owned_;
};

}  // namespace sirel::win32
