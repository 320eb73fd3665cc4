#include "platform/thread_state.h"

#include <cassert>

namespace sirel {

namespace {
PlatformServices* g_platform = nullptr;
}  // namespace

void InstallPlatform(PlatformServices* services) { g_platform = services; }

PlatformServices& InstalledPlatform() {
  assert(g_platform != nullptr && "InstallPlatform must run before the first poster");
  return *g_platform;
}

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
