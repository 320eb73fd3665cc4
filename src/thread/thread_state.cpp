#include "thread/thread_state.h"

#include "thread/platform_registry.h"

namespace sirel {

ThreadState::ThreadState(PlatformServices& platform)
    : platform_(platform), window_manager_(platform.GetWindowManager()) {}

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
