#include "win32/tls_thread_slot.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "core/errors.h"
#include "thread/thread_state.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

class TlsThreadStateSlot final : public ThreadStateSlot {
 public:
  bool Begin() noexcept {
    index_ = TlsAlloc();
    return index_ != TLS_OUT_OF_INDEXES;
  }

  ThreadState* Get() noexcept override {
    return static_cast<ThreadState*>(TlsGetValue(index_));
  }

  void Adopt(ThreadState* state) override {
    {
      ExclusiveLock lock(lock_);
      states_.push_back(state);  // may throw: then nothing was kept
    }
    if (!TlsSetValue(index_, state)) {
      Forget(state);
      throw SirelError(ErrorCode::OutOfMemory);
    }
  }

  void EndCurrent() noexcept {
    ThreadState* state = Get();
    if (state == nullptr) return;
    TlsSetValue(index_, nullptr);
    Forget(state);
    End(state);
  }

  void EndAll() noexcept {
    std::vector<ThreadState*> states;
    {
      ExclusiveLock lock(lock_);
      states.swap(states_);
    }
    for (ThreadState* state : states) End(state);
    TlsFree(index_);
    index_ = TLS_OUT_OF_INDEXES;
  }

 private:
  void Forget(ThreadState* state) noexcept {
    ExclusiveLock lock(lock_);
    states_.erase(std::remove(states_.begin(), states_.end(), state), states_.end());
  }

  static void End(ThreadState* state) noexcept {
    state->AbandonWindowToSystem();
    delete state;
  }

  DWORD index_ = TLS_OUT_OF_INDEXES;
  SRWLOCK lock_ = SRWLOCK_INIT;
  std::vector<ThreadState*> states_;
};

TlsThreadStateSlot g_slot;

}  // namespace

bool BeginThreadStates() noexcept {
  if (!g_slot.Begin()) return false;
  InstallThreadStateSlot(&g_slot);
  return true;
}

void EndThreadState() noexcept { g_slot.EndCurrent(); }

void EndAllThreadStates() noexcept {
  InstallThreadStateSlot(nullptr);
  g_slot.EndAll();
}

}  // namespace sirel::win32
