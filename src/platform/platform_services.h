// The platform a process runs the core on: how to make a thread's message window and which
// window manager to use. The Win32 shell installs its services when the library loads; native
// tests and benchmarks install the in-memory ones. Installed once per process, before any
// poster is created, and never removed while posters or windows exist.
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
};

void InstallPlatform(PlatformServices* services);
PlatformServices& InstalledPlatform();

}  // namespace sirel
