#include "win32/fiber_thread_slot.h"

#include "core/errors.h"

namespace sirel::win32 {

namespace {

void WINAPI DestroyThreadState(void* owned) { delete static_cast<ThreadOwned*>(owned); }

}  // namespace

FiberThreadSlot::FiberThreadSlot() : index_(FlsAlloc(&DestroyThreadState)) {}

FiberThreadSlot::~FiberThreadSlot() {
  if (index_ != FLS_OUT_OF_INDEXES) FlsFree(index_);
}

ThreadOwned* FiberThreadSlot::Get() noexcept {
  return index_ == FLS_OUT_OF_INDEXES ? nullptr : static_cast<ThreadOwned*>(FlsGetValue(index_));
}

void FiberThreadSlot::Adopt(std::unique_ptr<ThreadOwned> owned) {
  if (index_ == FLS_OUT_OF_INDEXES || !FlsSetValue(index_, owned.get())) {
    throw SirelError(ErrorCode::OutOfMemory);
  }
  owned.release();
}

}  // namespace sirel::win32
