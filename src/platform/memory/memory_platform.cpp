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

namespace {
// The calling thread's state and the slot that owns it: a thread that meets another slot (a
// platform made after the one it used before) has no state there yet.
struct ThreadEntry {
  const MemoryThreadSlot* slot = nullptr;
  ThreadOwned* owned = nullptr;
};
thread_local ThreadEntry t_entry;
}  // namespace

ThreadOwned* MemoryThreadSlot::Get() noexcept {
  return t_entry.slot == this ? t_entry.owned : nullptr;
}

void MemoryThreadSlot::Adopt(std::unique_ptr<ThreadOwned> owned) {
  std::lock_guard<std::mutex> lock(mutex_);
  owned_.push_back(std::move(owned));
  t_entry = ThreadEntry{this, owned_.back().get()};
}

int MemoryPlatform::windowsCreated() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return windows_created_;
}

}  // namespace sirel
