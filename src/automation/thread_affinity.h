// The thread an object of the library belongs to: the thread that made it, told by its thread
// state's serial number (thread/thread_state.h), which no other thread ever has, not even one
// that comes after the owner has ended and is given the same thread id.
//
// An apartment-threaded object is called on its own thread only; a raw pointer used on another
// thread (no marshalling) is answered RPC_E_WRONG_THREAD at once by every member that could
// touch the window, the list or the thread's state. Reference counting, QueryInterface and the
// members that read only constant data answer on any thread.
//
// What must still happen on the owner thread when the object ends elsewhere (its sinks let go)
// is handed to the owner's message window as it was when the object was last used there
// (win32/handed_work.h); the window's thread does it when it runs its messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "thread/thread_state.h"
#include "win32/handed_work.h"
#include "win32/hwnd_value.h"

namespace sirel::automation {

class ThreadAffinity {
 public:
  explicit ThreadAffinity(const ThreadState& owner) : serial_(owner.serial()) {}
  ThreadAffinity(const ThreadAffinity& other) noexcept
      : serial_(other.serial_), owners_window_(other.owners_window_.load()) {}
  ThreadAffinity& operator=(const ThreadAffinity&) = delete;

  // True on the owner's thread. Makes no state and touches no other thread's state.
  bool Here() const noexcept {
    const ThreadState* current = ThreadState::CurrentIfMade();
    return current != nullptr && current->serial() == serial_;
  }
  std::uint64_t serial() const noexcept { return serial_; }

  // On the owner's thread, after the object was used: remembers the thread's native window.
  void NoteOwnersWindow() const noexcept {
    if (const ThreadState* current = ThreadState::CurrentIfMade()) {
      owners_window_.store(win32::HwndOf(current->LoadedWindowHandle()));
    }
  }
  // From any thread: the work goes to the owner's window remembered last, or is left undone.
  void HandToOwner(win32::HandedWork* work) const noexcept {
    win32::HandToWindowThread(owners_window_.load(), work);
  }

 private:
  std::uint64_t serial_;
  mutable std::atomic<HWND> owners_window_{nullptr};
};

}  // namespace sirel::automation
