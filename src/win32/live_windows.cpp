#include "win32/live_windows.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <vector>

#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

// A noted window: its handle and the class it was made with.
struct LiveWindow {
  HWND hwnd;
  ATOM windowClass;
};

struct LiveWindows {
  SRWLOCK lock = SRWLOCK_INIT;
  std::vector<LiveWindow> windows;
};

LiveWindows& Registry() {
  static LiveWindows registry;
  return registry;
}

std::atomic<WindowLifeObserver*> g_observer{nullptr};
std::atomic<long> g_left_holds{0};     // references of windows that are gone
std::atomic<long> g_code_running{0};   // frames of window procedures on any thread

ATOM ClassOf(HWND hwnd) noexcept { return static_cast<ATOM>(GetClassWord(hwnd, GCW_ATOM)); }

bool Gone(const LiveWindow& window) noexcept {
  return window.windowClass == 0 || ClassOf(window.hwnd) != window.windowClass;
}

// The module that this code lives in, one reference more. False only when the loader refuses.
bool TakeHold() noexcept {
  HMODULE module = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&TakeHold), &module) != FALSE;
}

// Drops every noted window that the test says is gone (the lock held); each one's reference
// is left for GiveBackLeftHolds.
template <class Test>
void Forget(std::vector<LiveWindow>& windows, Test gone) noexcept {
  const auto end = std::remove_if(windows.begin(), windows.end(), gone);
  g_left_holds += static_cast<long>(windows.end() - end);
  windows.erase(end, windows.end());
}

}  // namespace

LONG LiveWindowCount() noexcept {
  LiveWindows& registry = Registry();
  ExclusiveLock lock(registry.lock);
  Forget(registry.windows, &Gone);
  return static_cast<LONG>(registry.windows.size());
}

bool NoteWindowCreated(HWND hwnd) noexcept {
  LiveWindows& registry = Registry();
  {
    ExclusiveLock lock(registry.lock);
    // An entry with the same handle names a window destroyed unseen: the handle is this one's.
    Forget(registry.windows, [hwnd](const LiveWindow& w) { return w.hwnd == hwnd; });
    try {
      registry.windows.push_back({hwnd, ClassOf(hwnd)});
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!TakeHold()) {
      registry.windows.pop_back();
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
    Forget(registry.windows, [hwnd](const LiveWindow& w) { return w.hwnd == hwnd; });
  }
  if (WindowLifeObserver* observer = g_observer.load()) observer->OnWindowDestroyed();
}

void GiveBackLeftHolds() noexcept {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&TakeHold), &module)) {
    return;
  }
  for (long left = g_left_holds.exchange(0); left > 0; --left) FreeLibrary(module);
}

void KeepModuleForGood() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&TakeHold), &module);
}

WindowCodeRunning::WindowCodeRunning() noexcept { ++g_code_running; }
WindowCodeRunning::~WindowCodeRunning() { --g_code_running; }
bool WindowCodeRunning::Any() noexcept { return g_code_running.load() != 0; }

void SetWindowLifeObserver(WindowLifeObserver* observer) noexcept { g_observer.store(observer); }

}  // namespace sirel::win32
