// The Win32 platform services: message windows are real windows of this module, and the window
// manager is the platform's. InstallNativePlatform() installs them for the process (idempotent);
// the DLL calls it when it loads, the Windows test programs at start.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/platform_services.h"
#include "win32/window_manager.h"

namespace sirel::win32 {

class NativePlatform final : public PlatformServices {
 public:
  explicit NativePlatform(HINSTANCE instance) : instance_(instance) {}
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  WindowManager& GetWindowManager() override { return window_manager_; }

 private:
  HINSTANCE instance_;
  User32WindowManager window_manager_;
};

// The module (DLL or program) that holds this code, and so the window's icon.
HINSTANCE ThisModule();

void InstallNativePlatform();

}  // namespace sirel::win32
