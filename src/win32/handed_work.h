// Work that another thread hands to a window's own thread. A last Release made on the wrong
// thread leaves the client's event sinks to be released in their own apartment, on the thread
// that connected them: the work is posted to that thread's message window as a private message,
// and the window's procedure deletes it there when the thread runs its messages.
//
// Work that cannot reach its thread is left undone, never done elsewhere (a leak is better than a
// call into a dead or foreign apartment): a window that is gone, a thread that runs no more
// messages before its window goes (the message is discarded with the window), or a window whose
// thread is no longer the one the work was meant for (its thread state's serial differs).
// Only work handed over through here is ever run: the same message with any other parameter
// (another process may post anything to a window) is ignored.
#pragma once

#include <windows.h>

#include <cstdint>

namespace sirel::win32 {

class HandedWork {
 public:
  // For the thread whose state has this serial (ThreadState::serial()).
  explicit HandedWork(std::uint64_t threadSerial) noexcept : thread_serial_(threadSerial) {}
  virtual ~HandedWork() = default;
  HandedWork(const HandedWork&) = delete;
  HandedWork& operator=(const HandedWork&) = delete;

 private:
  friend void HandToWindowThread(HWND window, HandedWork* work) noexcept;
  friend bool RunHandedWork(UINT message, LPARAM lParam) noexcept;
  std::uint64_t thread_serial_;
  HandedWork* next_ = nullptr;  // in the list of work on its way
};

// Posts work to window; the window's thread deletes it. When it cannot be posted, the work is
// left: neither run nor deleted. Any thread; allocates nothing.
void HandToWindowThread(HWND window, HandedWork* work) noexcept;

// For a window procedure of the library: true when message is the hand-over message. Work that
// was handed over is taken off its way and deleted when the calling thread's state is the one
// it was meant for, else left.
bool RunHandedWork(UINT message, LPARAM lParam) noexcept;

}  // namespace sirel::win32
