// The thread an object of the library belongs to: the thread that made it, told by its thread
// state's serial number (thread/thread_state.h), which no other thread ever has, not even one
// that comes after the owner has ended and is given the same thread id.
//
// An apartment-threaded object is called on its own thread only; a raw pointer used on another
// thread (no marshalling) is answered RPC_E_WRONG_THREAD at once by every member that could
// touch the window, the list or the thread's state. Reference counting, QueryInterface and the
// members that read only constant data answer on any thread.
#pragma once

#include <cstdint>

#include "thread/thread_state.h"

namespace sirel::automation {

class ThreadAffinity {
 public:
  explicit ThreadAffinity(const ThreadState& owner) : serial_(owner.serial()) {}

  // True on the owner's thread. Makes no state and touches no other thread's state.
  bool Here() const noexcept {
    const ThreadState* current = ThreadState::CurrentIfMade();
    return current != nullptr && current->serial() == serial_;
  }

 private:
  std::uint64_t serial_;
};

}  // namespace sirel::automation
