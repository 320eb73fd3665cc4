#include "platform/memory/memory_platform.h"

namespace sirel {

std::unique_ptr<MessageWindow> MemoryPlatform::CreateMessageWindow() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++windows_created_;
  next_handle_ += 0x10;
  return std::make_unique<MemoryMessageWindow>(next_handle_);
}

MemoryWindowManager& MemoryPlatform::ThreadWindowManager() {
  std::lock_guard<std::mutex> lock(mutex_);
  auto& manager = managers_[std::this_thread::get_id()];
  if (!manager) manager = std::make_unique<MemoryWindowManager>();
  return *manager;
}

void MemoryPlatform::KeepUntilThreadEnds(std::shared_ptr<void> object) {
  std::lock_guard<std::mutex> lock(mutex_);
  kept_.push_back(std::move(object));
}

int MemoryPlatform::windowsCreated() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return windows_created_;
}

}  // namespace sirel
