#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_message_window.h"

namespace sirel::win32 {

std::unique_ptr<MessageWindow> Win32Platform::CreateMessageWindow() {
  return std::make_unique<Win32MessageWindow>(instance_);
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

void InstallWin32Platform() {
  static Win32Platform platform(ThisModule());
  InstallPlatform(&platform);
}

}  // namespace sirel::win32
