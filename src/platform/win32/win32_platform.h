// The Win32 platform services: message windows are real windows of this module, and the window
// manager is the platform's. InstallWin32Platform() installs them for the process (idempotent);
// the DLL calls it when it loads, the Windows test programs at start.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/platform_services.h"
#include "platform/win32/win32_window_manager.h"

namespace sirel::win32 {

class Win32Platform final : public PlatformServices {
 public:
  explicit Win32Platform(HINSTANCE instance) : instance_(instance) {}
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  WindowManager& GetWindowManager() override { return window_manager_; }

 private:
  HINSTANCE instance_;
  Win32WindowManager window_manager_;
};

// The module (DLL or program) that holds this code, and so the window's icon.
HINSTANCE ThisModule();

void InstallWin32Platform();

}  // namespace sirel::win32
