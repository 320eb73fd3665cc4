#include "core/thread_state.h"

#include "core/platform_registry.h"

namespace sirel {

ThreadState::ThreadState(PlatformServices& platform)
    : platform_(platform), window_manager_(platform.GetWindowManager()) {}

ThreadState& ThreadState::Current() {
  thread_local std::unique_ptr<ThreadState> state;
  if (!state) state = std::make_unique<ThreadState>(InstalledPlatform());
  return *state;
}

MessageWindow& ThreadState::ObtainWindow() {
  if (!window_) window_ = platform_.CreateMessageWindow();
  window_->EnsureLoaded();
  return *window_;
}

}  // namespace sirel
