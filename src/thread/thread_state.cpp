#include "thread/thread_state.h"

#include "thread/platform_registry.h"

#include <atomic>

namespace sirel {

namespace {
std::atomic<std::uint64_t> g_last_serial{0};
}  // namespace

ThreadState::ThreadState(PlatformServices& platform)
    : serial_(++g_last_serial), platform_(platform), window_manager_(platform.GetWindowManager()) {}

ThreadState* ThreadState::CurrentIfMade() noexcept {
  return static_cast<ThreadState*>(InstalledPlatform().ThreadStates().Get());
}

ThreadState& ThreadState::Current() {
  PlatformServices& platform = InstalledPlatform();
  ThreadSlot& slot = platform.ThreadStates();
  if (ThreadOwned* owned = slot.Get()) return static_cast<ThreadState&>(*owned);
  auto made = std::make_unique<ThreadState>(platform);
  ThreadState& state = *made;
  slot.Adopt(std::move(made));
  return state;
}

void ThreadState::AbandonToSystem() noexcept {
  if (window_) window_->AbandonToSystem();
}

MessageWindow& ThreadState::ObtainWindow() {
  if (!window_) window_ = platform_.CreateMessageWindow();
  window_->EnsureLoaded();
  return *window_;
}

}  // namespace sirel
