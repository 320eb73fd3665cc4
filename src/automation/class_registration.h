// What registration publishes about the library and its class, next to Sirel.idl, which fixes
// the GUIDs. Changing any of these changes what clients find in the registry.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace sirel::automation {

constexpr wchar_t kProgId[] = L"Sirel.Sireler";  // library name, a point, class name
constexpr wchar_t kClassName[] = L"Sireler";
constexpr wchar_t kThreadingModel[] = L"Apartment";

constexpr WORD kTypeLibMajorVersion = 17;
constexpr WORD kTypeLibMinorVersion = 0;
constexpr LCID kTypeLibLocale = 0;

#ifdef _WIN64
constexpr SYSKIND kTypeLibSysKind = SYS_WIN64;
#else
constexpr SYSKIND kTypeLibSysKind = SYS_WIN32;
#endif

}  // namespace sirel::automation
