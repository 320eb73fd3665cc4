// The threads' states as the Windows programs built with the shell keep them (the test programs,
// benchmarks and the e2e host, which link the shell statically): each in fiber-local storage,
// whose callback destroys it when its thread ends, before the DLLs hear of the thread's end, so
// that the thread's window is still there to be destroyed properly. Freeing the slot (at the
// program's end) destroys every state left.
#pragma once

#include <windows.h>

#include "platform/thread_slot.h"

namespace sirel::win32 {

class FiberThreadSlot final : public ThreadSlot {
 public:
  FiberThreadSlot();
  ~FiberThreadSlot() override;
  FiberThreadSlot(const FiberThreadSlot&) = delete;
  FiberThreadSlot& operator=(const FiberThreadSlot&) = delete;

  ThreadOwned* Get() noexcept override;
  void Adopt(std::unique_ptr<ThreadOwned> owned) override;

 private:
  DWORD index_;  // FLS_OUT_OF_INDEXES when none was to be had: then no state can be kept
};

}  // namespace sirel::win32
