#include "win32/platform.h"

#include "core/platform_registry.h"
#include "win32/message_window.h"

namespace sirel::win32 {

std::unique_ptr<MessageWindow> NativePlatform::CreateMessageWindow() {
  return std::make_unique<MessageForm>(instance_);
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

void InstallNativePlatform() {
  static NativePlatform platform(ThisModule());
  InstallPlatform(&platform);
}

}  // namespace sirel::win32
