// In-memory platform services for native tests and benchmarks: message windows with handles
// of their own numbering, and a window manager that records what the core asked of it.
// One MemoryPlatform serves every thread; each thread's windows and window manager are its own.
// Each thread's state lives as long as the platform (the tests look at it after the thread has
// ended).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/memory/memory_message_window.h"
#include "platform/platform_services.h"

namespace sirel {

class MemoryWindowManager final : public WindowManager {
 public:
  WindowHandle GetActiveWindow() override { return active; }
  void SetActiveWindow(WindowHandle window) override {
    ++set_active_calls;
    if (window != 0) active = window;
  }
  WindowHandle GetForegroundWindow() override { return foreground; }
  WindowHandle FindUntitledWindowOfClass(const std::u16string& className) override {
    const auto found = untitled_windows_by_class.find(className);
    return found == untitled_windows_by_class.end() ? 0 : found->second;
  }
  void SetParent(WindowHandle child, WindowHandle parent) override { parents[child] = parent; }

  WindowHandle active = 0;
  WindowHandle foreground = 0;
  int set_active_calls = 0;
  std::map<std::u16string, WindowHandle> untitled_windows_by_class;
  std::map<WindowHandle, WindowHandle> parents;
};

// The threads' states of one MemoryPlatform: each thread finds its own through a thread-local
// pointer; the slot owns them all until it is destroyed.
class MemoryThreadSlot final : public ThreadSlot {
 public:
  ThreadOwned* Get() noexcept override;
  void Adopt(std::unique_ptr<ThreadOwned> owned) override;

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<ThreadOwned>> owned_;
};

class MemoryPlatform final : public PlatformServices {
 public:
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  WindowManager& GetWindowManager() override { return ThreadWindowManager(); }
  ThreadSlot& ThreadStates() override { return threads_; }

  // The calling thread's window manager.
  MemoryWindowManager& ThreadWindowManager();
  // How many message windows have been made, on all threads.
  int windowsCreated() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::thread::id, std::unique_ptr<MemoryWindowManager>> managers_;
  WindowHandle next_handle_ = 0x10010;
  int windows_created_ = 0;
  // Last, so released first: the threads' states refer to the window managers above.
  MemoryThreadSlot threads_;
};

}  // namespace sirel
