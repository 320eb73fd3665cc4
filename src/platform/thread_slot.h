// The thread-slot port: where the platform keeps each thread's state, and how that state ends.
// The per-thread state (thread/thread_state.h) asks the installed platform's slot for the
// calling thread's state and hands it a new one on first use; from then on the slot owns it and
// ends it with its thread, in the way the platform can:
//   - in the DLL, a TLS slot that the library's thread-detach notification ends (the state
//     abandons its native window to the system, which destroys a thread's windows itself);
//   - in the Windows test programs, a fiber-local slot whose callback destroys the state;
//   - natively, a slot of the in-memory platform that keeps every state until the platform ends.
#pragma once

#include <memory>

namespace sirel {

// What a slot holds: the platform sees a thread's state only through this.
class ThreadOwned {
 public:
  virtual ~ThreadOwned() = default;
  // For a thread that ends where the library may not call the window system (a thread-detach
  // notification): lets go of the thread's native objects without destroying them.
  virtual void AbandonToSystem() noexcept = 0;
};

class ThreadSlot {
 public:
  virtual ~ThreadSlot() = default;
  // The calling thread's state, or nullptr before the first Adopt on this thread.
  virtual ThreadOwned* Get() noexcept = 0;
  // Takes ownership of a state made for the calling thread; throws when it cannot keep it
  // (then the state is destroyed).
  virtual void Adopt(std::unique_ptr<ThreadOwned> owned) = 0;
};

}  // namespace sirel
