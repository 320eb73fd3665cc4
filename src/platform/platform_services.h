// The platform port: how to make a thread's message window, which window manager to use, and
// where each thread's state is kept until the thread ends (platform/thread_slot.h).
// thread/platform_registry.h holds the one instance a process installs.
#pragma once

#include <memory>

#include "platform/message_window.h"
#include "platform/thread_slot.h"
#include "platform/window_manager.h"

namespace sirel {

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;
  // A new, not yet loaded message window for the calling thread.
  virtual std::unique_ptr<MessageWindow> CreateMessageWindow() = 0;
  // The window manager for the calling thread.
  virtual WindowManager& GetWindowManager() = 0;
  // Where each thread's state is kept, and how it ends with its thread.
  virtual ThreadSlot& ThreadStates() = 0;
};

}  // namespace sirel
