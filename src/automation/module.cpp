#include "module.h"

#include <atomic>

#include "win32/live_windows.h"

namespace sirel::automation {

namespace {
HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
win32::TlsThreadSlot g_thread_states;
}  // namespace

win32::TlsThreadSlot& ThreadStates() { return g_thread_states; }

void SetModuleHandle(HMODULE module) { g_module = module; }

HMODULE ModuleHandle() { return g_module; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ObjectCreated() { ++g_objects; }

void ObjectDestroyed() { --g_objects; }

void LockModule() { ++g_locks; }

// An unlock without a lock is ignored: the count never goes below zero, where the next lock
// would leave it at zero and let the library unload while locked.
void UnlockModule() {
  long locks = g_locks.load();
  while (locks > 0 && !g_locks.compare_exchange_weak(locks, locks - 1)) {
  }
}

bool ModuleCanUnload() noexcept {
  return g_objects.load() == 0 && g_locks.load() == 0 && win32::LiveWindowCount() == 0 &&
         !win32::WindowCodeRunning::Any();
}

ModuleReference::ModuleReference() { ObjectCreated(); }

ModuleReference::~ModuleReference() { ObjectDestroyed(); }

}  // namespace sirel::automation
