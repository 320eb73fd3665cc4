#include "win32/live_windows.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace sirel::win32 {

namespace {

struct LiveWindows {
  std::mutex mutex;
  std::vector<HWND> windows;
};

LiveWindows& Registry() {
  static LiveWindows registry;
  return registry;
}

}  // namespace

LONG LiveWindowCount() {
  LiveWindows& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto& windows = registry.windows;
  windows.erase(std::remove_if(windows.begin(), windows.end(),
                               [](HWND hwnd) { return !IsWindow(hwnd); }),
                windows.end());
  return static_cast<LONG>(windows.size());
}

void NoteWindowCreated(HWND hwnd) {
  LiveWindows& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.windows.push_back(hwnd);
}

void NoteWindowDestroyed(HWND hwnd) {
  LiveWindows& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto& windows = registry.windows;
  windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
}

}  // namespace sirel::win32
