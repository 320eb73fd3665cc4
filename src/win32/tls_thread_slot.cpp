#include "win32/tls_thread_slot.h"

#include <algorithm>

#include "core/errors.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

void End(ThreadOwned* owned) noexcept {
  owned->AbandonToSystem();
  delete owned;
}

}  // namespace

bool TlsThreadSlot::Begin() noexcept {
  index_ = TlsAlloc();
  return index_ != TLS_OUT_OF_INDEXES;
}

ThreadOwned* TlsThreadSlot::Get() noexcept {
  return index_ == TLS_OUT_OF_INDEXES ? nullptr : static_cast<ThreadOwned*>(TlsGetValue(index_));
}

void TlsThreadSlot::Adopt(std::unique_ptr<ThreadOwned> owned) {
  if (index_ == TLS_OUT_OF_INDEXES) throw SirelError(ErrorCode::OutOfMemory);
  {
    ExclusiveLock lock(lock_);
    owned_.push_back(owned.get());  // may throw: then nothing was kept
  }
  if (!TlsSetValue(index_, owned.get())) {
    Forget(owned.get());
    throw SirelError(ErrorCode::OutOfMemory);
  }
  owned.release();
}

void TlsThreadSlot::EndCurrent() noexcept {
  ThreadOwned* owned = Get();
  if (owned == nullptr) return;
  TlsSetValue(index_, nullptr);
  Forget(owned);
  End(owned);
}

void TlsThreadSlot::EndAll() noexcept {
  std::vector<ThreadOwned*> owned;
  {
    ExclusiveLock lock(lock_);
    owned.swap(owned_);
  }
  for (ThreadOwned* one : owned) End(one);
  TlsFree(index_);
  index_ = TLS_OUT_OF_INDEXES;
}

void TlsThreadSlot::Forget(ThreadOwned* owned) noexcept {
  ExclusiveLock lock(lock_);
  owned_.erase(std::remove(owned_.begin(), owned_.end(), owned), owned_.end());
}

}  // namespace sirel::win32
