// Sireler's end: its last Release, on its own thread or on another one (sireler.h).
#include "sireler.h"

#include <cstdint>
#include <new>
#include <utility>

#include "win32/handed_work.h"

namespace sirel::automation {

ULONG Sireler::Release() {
  const ULONG remaining = references_.Decrement();
  if (remaining == 0 && (affinity_.Here() || HandSinksToOwner())) delete this;
  return remaining;
}

namespace {

// The sinks of a poster that ended on another thread, let go when this is deleted on their own.
class SinksToLetGo final : public win32::HandedWork {
 public:
  explicit SinksToLetGo(std::uint64_t owner) noexcept : HandedWork(owner) {}
  void TakeFrom(EventSource& events) noexcept { connections_ = events.TakeAll(); }

 private:
  EventSource::Connections connections_;
};

}  // namespace

bool Sireler::HandSinksToOwner() noexcept {
  EventSource& events = poster_.events();
  if (events.SinkCount() == 0) return true;
  auto* const sinks = new (std::nothrow) SinksToLetGo(affinity_.serial());
  if (sinks == nullptr) return false;
  sinks->TakeFrom(events);
  affinity_.HandToOwner(sinks);
  return true;
}

}  // namespace sirel::automation
