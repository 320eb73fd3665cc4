#include "core/thread_state.h"

#include "core/platform_registry.h"

namespace sirel {

ThreadState::ThreadState(PlatformServices& platform)
    : platform_(platform), window_manager_(platform.GetWindowManager()) {}

namespace {
ThreadStateSlot* g_slot = nullptr;
}  // namespace

void InstallThreadStateSlot(ThreadStateSlot* slot) noexcept { g_slot = slot; }

ThreadState& ThreadState::Current() {
  if (g_slot != nullptr) {
    if (ThreadState* state = g_slot->Get()) return *state;
    auto made = std::make_unique<ThreadState>(InstalledPlatform());
    g_slot->Adopt(made.get());
    return *made.release();
  }
  thread_local std::unique_ptr<ThreadState> state;
  if (!state) state = std::make_unique<ThreadState>(InstalledPlatform());
  return *state;
}

void ThreadState::AbandonWindowToSystem() noexcept {
  if (window_) window_->AbandonToSystem();
}

MessageWindow& ThreadState::ObtainWindow() {
  if (!window_) window_ = platform_.CreateMessageWindow();
  window_->EnsureLoaded();
  return *window_;
}

}  // namespace sirel
