// In-memory platform services for native tests and benchmarks: message windows with handles
// of their own numbering, and a window manager that records what the core asked of it.
// One MemoryPlatform serves every thread; each thread's windows and window manager are its own.
// Objects kept for a thread live as long as the platform (the tests look at them after the
// thread has ended).
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

class MemoryPlatform final : public PlatformServices {
 public:
  std::unique_ptr<MessageWindow> CreateMessageWindow() override;
  WindowManager& GetWindowManager() override { return ThreadWindowManager(); }
  void KeepUntilThreadEnds(std::shared_ptr<void> object) override;

  // The calling thread's window manager.
  MemoryWindowManager& ThreadWindowManager();
  // How many message windows have been made, on all threads.
  int windowsCreated() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::thread::id, std::unique_ptr<MemoryWindowManager>> managers_;
  WindowHandle next_handle_ = 0x10010;
  int windows_created_ = 0;
  // Last, so released first: the kept thread states refer to the window managers above.
  std::vector<std::shared_ptr<void>> kept_;
};

}  // namespace sirel
