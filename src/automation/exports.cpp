// The entry points of Sirel.dll (ordinals in Sirel.def): the four of an in-process server, and
// DllInstall for per-user registration (regsvr32 /n /i:user, and /u /n /i:user to undo it).
// DllMain remembers the module handle and ends the threads' states (win32/tls_thread_slot.h):
// each thread's at its detach, every one left at an unload; and it watches the apartment of
// every thread that has a window (apartment_watch.h).
#include <windows.h>
#include <objbase.h>

#include "Sirel_h.h"
#include "apartment_watch.h"
#include "class_factory.h"
#include "module.h"
#include "registration.h"
#include "win32/live_windows.h"
#include "win32/message_form.h"

using sirel::automation::ClassFactory;
using sirel::automation::RegistrationScope;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      sirel::automation::SetModuleHandle(instance);
      return sirel::automation::ThreadStates().Begin() && sirel::automation::BeginApartmentWatch()
                 ? TRUE
                 : FALSE;
    case DLL_THREAD_DETACH:
      sirel::automation::EndThreadApartmentWatch();
      sirel::automation::ThreadStates().EndCurrent();
      return TRUE;
    case DLL_PROCESS_DETACH:
      // At process exit (reserved set) the other threads are gone already: nothing is ended.
      if (reserved == nullptr) {
        sirel::automation::EndApartmentWatch();
        sirel::automation::ThreadStates().EndAll();
        // No window is left (the library unloads only then); a DLL's window class and its icons
        // would outlive it.
        sirel::win32::MessageForm::ReleaseWindowClass(instance);
      }
      return TRUE;
    default:
      return TRUE;
  }
}

// Unloading is allowed only with no object, no lock on the factory, no message window and no
// window code running. On yes, the references that gone windows left are given back here: the
// caller (COM) holds the library for the whole call, so none of them can be the last one.
STDAPI DllCanUnloadNow() {
  if (!sirel::automation::ModuleCanUnload()) return S_FALSE;
  sirel::win32::GiveBackLeftHolds();
  return S_OK;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(classId, CLSID_Sireler)) return CLASS_E_CLASSNOTAVAILABLE;
  return ClassFactory::Instance().QueryInterface(iid, object);
}

STDAPI DllRegisterServer() { return sirel::automation::RegisterServer(RegistrationScope::Machine); }

STDAPI DllUnregisterServer() {
  return sirel::automation::UnregisterServer(RegistrationScope::Machine);
}

// command: empty for the machine, "user" (any case) for the current user only.
STDAPI DllInstall(BOOL install, LPCWSTR command) {
  RegistrationScope scope = RegistrationScope::Machine;
  if (command != nullptr && command[0] != L'\0') {
    if (lstrcmpiW(command, L"user") != 0) return E_INVALIDARG;
    scope = RegistrationScope::User;
  }
  return install ? sirel::automation::RegisterServer(scope)
                 : sirel::automation::UnregisterServer(scope);
}

}  // extern "C"
