#include "win32/native_platform.h"

#include "thread/platform_registry.h"
#include "win32/fiber_thread_slot.h"
#include "win32/message_form.h"

namespace sirel::win32 {

NativePlatform::NativePlatform(HINSTANCE instance, ThreadSlot& threads)
    : instance_(instance), threads_(threads) {}

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

void InstallNativePlatform(ThreadSlot& threads) {
  static NativePlatform platform(ThisModule(), threads);
  InstallPlatform(&platform);
}

void InstallNativePlatform() {
  static FiberThreadSlot threads;
  InstallNativePlatform(threads);
}

}  // namespace sirel::win32
