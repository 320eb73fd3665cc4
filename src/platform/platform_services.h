// The platform port: how to make a thread's message window, which window manager to use, and
// how a thread's own objects (its state) are kept until the thread ends.
// thread/platform_registry.h holds the one instance a process installs.
#pragma once

#include <memory>

#include "platform/message_window.h"
#include "platform/window_manager.h"

namespace sirel {

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;
  // A new, not yet loaded message window for the calling thread.
  virtual std::unique_ptr<MessageWindow> CreateMessageWindow() = 0;
  // The window manager for the calling thread.
  virtual WindowManager& GetWindowManager() = 0;
  // Keeps an object of the calling thread until the thread ends (or, where the platform has no
  // hook at a thread's end, until the platform itself is destroyed), then releases it.
  virtual void KeepUntilThreadEnds(std::shared_ptr<void> object) = 0;
};

}  // namespace sirel
