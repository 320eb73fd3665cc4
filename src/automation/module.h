// Module-wide state of Sirel.dll: its own handle (for its file name and its resources), the slot
// of its threads' states (ended from DllMain) and the counts that decide whether the platform
// may unload it. Every COM object of the library holds
// a ModuleReference for its lifetime; LockServer adds locks. The library may be unloaded only
// with no object, no lock and no message window alive (a thread's window outlives its posters),
// and while no window procedure of it runs on any thread (a menu or a dialog inside one).
#pragma once

#include <windows.h>

#include <string>

#include "win32/tls_thread_slot.h"

namespace sirel::automation {

void SetModuleHandle(HMODULE module);
HMODULE ModuleHandle();
// The full path of Sirel.dll itself.
std::wstring ModulePath();

// Where the threads' states of this library live: begun at process attach, ended at thread
// detach and at an unload.
win32::TlsThreadSlot& ThreadStates();

// Objects of the library (posters, the factory's references, enumerators) announce themselves.
void ObjectCreated();
void ObjectDestroyed();

void LockModule();
void UnlockModule();
// Takes no lock that can fail and throws nothing.
bool ModuleCanUnload() noexcept;

// Keeps the module loaded while the owning object lives.
class ModuleReference {
 public:
  ModuleReference();
  ~ModuleReference();
  ModuleReference(const ModuleReference&) = delete;
  ModuleReference& operator=(const ModuleReference&) = delete;
};

}  // namespace sirel::automation
