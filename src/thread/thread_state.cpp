#include "thread/thread_state.h"

#include "thread/platform_registry.h"

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
  // A plain pointer, and the platform owns the state: a thread_local with a destructor is not
  // safe here. With MinGW's emulated thread-local storage, a std::thread's thread_local
  // storage is freed before the destructors of its thread_local objects run, so the owner
  // read freed memory when the thread ended (the 32-bit build crashed there).
  thread_local ThreadState* state = nullptr;
  if (state == nullptr) {
    PlatformServices& platform = InstalledPlatform();
    auto made = std::make_shared<ThreadState>(platform);
    state = made.get();
    platform.KeepUntilThreadEnds(std::move(made));
  }
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
