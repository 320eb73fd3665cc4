// Module-wide state of Sirel.dll: its own handle (for its file name and its resources) and the
// counts that decide whether the platform may unload it. Every COM object of the library holds
// a ModuleReference for its lifetime; LockServer adds locks. The library may be unloaded only
// with no object, no lock and no message window alive (a thread's window outlives its posters).
#pragma once

#include <windows.h>

#include <string>

namespace sirel::automation {

void SetModuleHandle(HMODULE module);
HMODULE ModuleHandle();
// The full path of Sirel.dll itself.
std::wstring ModulePath();

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
