// Registration of the class and its type library, per machine (DllRegisterServer) or for the
// current user only (DllInstall with "user", for hosts such as 64-bit Office run without
// administrator rights):
//   <classes>\Sirel.Sireler             = "Sireler", \CLSID = {class GUID}
//   <classes>\CLSID\{class GUID}        = "Sireler"
//       \InprocServer32                 = <path of Sirel.dll>, ThreadingModel = "Apartment"
//       \ProgID = "Sirel.Sireler", \TypeLib = {library GUID}
//   and the type library read from the DLL's own TYPELIB resource, 17.0, locale 0
//   (which also registers _Sireler and __Sireler for marshalling).
// <classes> is HKLM\Software\Classes per machine and HKCU\Software\Classes per user.
// Unregistration removes all of it; removing what is not there is not an error.
#pragma once

#include <windows.h>

namespace sirel::automation {

enum class RegistrationScope { Machine, User };

HRESULT RegisterServer(RegistrationScope scope) noexcept;
HRESULT UnregisterServer(RegistrationScope scope) noexcept;

}  // namespace sirel::automation
