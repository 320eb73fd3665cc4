#include "win32/live_windows.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

struct LiveWindows {
  SRWLOCK lock = SRWLOCK_INIT;
  std::vector<HWND> windows;
};

LiveWindows& Registry() {
  static LiveWindows registry;
  return registry;
}

std::atomic<WindowLifeObserver*> g_observer{nullptr};

}  // namespace

LONG LiveWindowCount() noexcept {
  LiveWindows& registry = Registry();
  ExclusiveLock lock(registry.lock);
  auto& windows = registry.windows;
  windows.erase(std::remove_if(windows.begin(), windows.end(),
                               [](HWND hwnd) { return !IsWindow(hwnd); }),
                windows.end());
  return static_cast<LONG>(windows.size());
}

bool NoteWindowCreated(HWND hwnd) noexcept {
  LiveWindows& registry = Registry();
  {
    ExclusiveLock lock(registry.lock);
    try {
      registry.windows.push_back(hwnd);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  WindowLifeObserver* observer = g_observer.load();
  if (observer != nullptr && !observer->OnWindowCreated()) {
    NoteWindowDestroyed(hwnd);
    return false;
  }
  return true;
}

void NoteWindowDestroyed(HWND hwnd) noexcept {
  LiveWindows& registry = Registry();
  {
    ExclusiveLock lock(registry.lock);
    auto& windows = registry.windows;
    windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
  }
  if (WindowLifeObserver* observer = g_observer.load()) observer->OnWindowDestroyed();
}

void SetWindowLifeObserver(WindowLifeObserver* observer) noexcept { g_observer.store(observer); }

}  // namespace sirel::win32
