// The Win32 platform services: message windows are real windows of this module, the window
// manager is the platform's, and the threads' states sit in the slot the module chose: the DLL
// its TLS slot (win32/tls_thread_slot.h), a program that links the shell a fiber-local one
// (win32/fiber_thread_slot.h). Installed once per process (idempotent): the DLL when its class
// factory first creates, the Windows test programs at start.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/platform_services.h"
#include "win32/user32_window_manager.h"

namespace sirel::win32 {

class NativePlatform final : public PlatformServices {
 public:
  NativePlatform(HINSTANCE instance, ThreadSlot& threads);
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  WindowManager& GetWindowManager() override { return window_manager_; }
  ThreadSlot& ThreadStates() override { return threads_; }

 private:
  HINSTANCE instance_;
  User32WindowManager window_manager_;
  ThreadSlot& threads_;
};

// The module (DLL or program) that holds this code, and so the window's icon.
HINSTANCE ThisModule();

// Installs the platform with the given slot; the first call's slot serves the process.
void InstallNativePlatform(ThreadSlot& threads);
// For programs: the states end with their thread's fiber-local storage.
void InstallNativePlatform();

}  // namespace sirel::win32
