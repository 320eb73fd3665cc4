// The Win32 platform services: message windows are real windows of this module, and the window
// manager is the platform's. A thread's kept objects sit in fiber-local storage, whose callback
// releases them when the thread ends (before the DLLs hear of the thread's end, so the thread's
// window can still be destroyed properly); the platform's end releases what is left.
// InstallNativePlatform() installs them for the process (idempotent); the DLL calls it when it
// loads, the Windows test programs at start.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

#include "platform/platform_services.h"
#include "win32/user32_window_manager.h"

namespace sirel::win32 {

class NativePlatform final : public PlatformServices {
 public:
  explicit NativePlatform(HINSTANCE instance);
  ~NativePlatform() override;
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  WindowManager& GetWindowManager() override { return window_manager_; }
  void KeepUntilThreadEnds(std::shared_ptr<void> object) override;

 private:
  HINSTANCE instance_;
  User32WindowManager window_manager_;
  DWORD thread_objects_;  // the fiber-local storage index
  // Where kept objects go when no fiber-local storage index was to be had.
  std::mutex unhooked_mutex_;
  std::vector<std::shared_ptr<void>> unhooked_;
};

// The module (DLL or program) that holds this code, and so the window's icon.
HINSTANCE ThisModule();

void InstallNativePlatform();

}  // namespace sirel::win32
