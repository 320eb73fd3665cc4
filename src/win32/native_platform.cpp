#include "win32/native_platform.h"

#include "thread/platform_registry.h"
#include "win32/message_form.h"

namespace sirel::win32 {

namespace {

using ThreadObjects = std::vector<std::shared_ptr<void>>;

void WINAPI ReleaseThreadObjects(void* objects) { delete static_cast<ThreadObjects*>(objects); }

}  // namespace

NativePlatform::NativePlatform(HINSTANCE instance)
    : instance_(instance), thread_objects_(FlsAlloc(&ReleaseThreadObjects)) {}

// Freeing the index releases every thread's objects: no callback may be left pointing into an
// unloaded DLL.
NativePlatform::~NativePlatform() {
  if (thread_objects_ != FLS_OUT_OF_INDEXES) FlsFree(thread_objects_);
}

void NativePlatform::KeepUntilThreadEnds(std::shared_ptr<void> object) {
  if (thread_objects_ != FLS_OUT_OF_INDEXES) {
    auto* objects = static_cast<ThreadObjects*>(FlsGetValue(thread_objects_));
    if (objects == nullptr) {
      objects = new ThreadObjects;
      if (!FlsSetValue(thread_objects_, objects)) {
        delete objects;
        objects = nullptr;
      }
    }
    if (objects != nullptr) {
      objects->push_back(std::move(object));
      return;
    }
  }
  std::lock_guard<std::mutex> lock(unhooked_mutex_);
  unhooked_.push_back(std::move(object));
}

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
