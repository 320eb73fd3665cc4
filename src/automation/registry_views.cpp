#include "registry_views.h"

#include <iterator>

#include "Sirel_h.h"
#include "class_registration.h"
#include "win32/unique_resource.h"

namespace sirel::automation {

using win32::UniqueRegistryKey;

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
  return text;
}

namespace {

#ifdef _WIN64
constexpr REGSAM kOwnView = KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
constexpr wchar_t kOtherSysKind[] = L"win32";
constexpr wchar_t kOwnSysKind[] = L"win64";
#else
constexpr REGSAM kOwnView = KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
constexpr wchar_t kOtherSysKind[] = L"win64";
constexpr wchar_t kOwnSysKind[] = L"win32";
#endif

const GUID* const kInterfaces[] = {&IID__Sireler, &DIID___Sireler};

// True for the x86 build running on a 64-bit system (under WOW64).
bool OnWow64() {
#ifdef _WIN64
  return false;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::wstring TypeLibraryKey() { return L"Software\\Classes\\TypeLib\\" + GuidText(LIBID_Sirel); }

// "<library key>\11.0\0": the version and the locale keys are hexadecimal.
std::wstring TypeLibraryLocaleKey() {
  wchar_t version[24] = {};
  wsprintfW(version, L"\\%x.%x\\%lx", kTypeLibMajorVersion, kTypeLibMinorVersion,
            static_cast<unsigned long>(kTypeLibLocale));
  return TypeLibraryKey() + version;
}

std::wstring InterfaceKey(REFGUID iid) { return L"Software\\Classes\\Interface\\" + GuidText(iid); }

HRESULT FromStatus(LSTATUS status) {
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) {
    return S_OK;  // what is not there is already removed
  }
  return HRESULT_FROM_WIN32(status);
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view) {
  UniqueRegistryKey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

void Read(HKEY key, KeySnapshot& snapshot) {
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(std::size(name));
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
      break;
    }
    if (type != REG_SZ) continue;  // the library writes strings only
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                         &size) == ERROR_SUCCESS) {
      value.resize(wcsnlen(value.c_str(), value.size()));
      snapshot.values.emplace_back(name, value);
    }
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    UniqueRegistryKey subkey;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, subkey.put()) != ERROR_SUCCESS) continue;
    snapshot.subkeys.emplace_back(name, KeySnapshot{});
    Read(subkey.get(), snapshot.subkeys.back().second);
  }
}

LSTATUS Write(HKEY key, const KeySnapshot& snapshot) {
  for (const auto& [name, value] : snapshot.values) {
    const LSTATUS status =
        RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) return status;
  }
  for (const auto& [name, child] : snapshot.subkeys) {
    UniqueRegistryKey subkey;
    LSTATUS status = RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                     nullptr, subkey.put(), nullptr);
    if (status == ERROR_SUCCESS) status = Write(subkey.get(), child);
    if (status != ERROR_SUCCESS) return status;
  }
  return ERROR_SUCCESS;
}

}  // namespace

OwnClassKey ClassKeyOfThisBuild() {
  const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_Sireler);
  if (OnWow64()) return {L"Wow6432Node\\" + classKey, KEY_WOW64_64KEY};
  return {classKey, 0};
}

bool ThisBuildRegistered(HKEY root) {
  return KeyExists(root, TypeLibraryLocaleKey() + L"\\" + kOwnSysKind, 0);
}

bool OtherBuildRegistered(HKEY root) {
  // A 32-bit system has no other build; its registry has one view.
#ifndef _WIN64
  if (!OnWow64()) return false;
#endif
  return KeyExists(root, TypeLibraryLocaleKey() + L"\\" + kOtherSysKind, kOtherView);
}

KeysOfTheOtherBuild::KeysOfTheOtherBuild(HKEY root) : root_(root) {
  const std::wstring paths[] = {std::wstring(L"Software\\Classes\\") + kProgId, TypeLibraryKey(),
                                InterfaceKey(IID__Sireler), InterfaceKey(DIID___Sireler)};
  for (const std::wstring& path : paths) {
    // As the other build sees the key; where its view does not show it (the open from this
    // process may not fall back to a key both share), as this build sees it: the other build
    // needs it either way.
    UniqueRegistryKey key;
    if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ | kOtherView, key.put()) != ERROR_SUCCESS &&
        RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ | kOwnView, key.put()) != ERROR_SUCCESS) {
      continue;
    }
    kept_.emplace_back(path, KeySnapshot{});
    Read(key.get(), kept_.back().second);
  }
}

HRESULT KeysOfTheOtherBuild::Restore() {
  HRESULT result = S_OK;
  for (const auto& [path, snapshot] : kept_) {
    if (KeyExists(root_, path, kOtherView)) continue;  // the other build's own, left alone
    UniqueRegistryKey key;
    LSTATUS status = RegCreateKeyExW(root_, path.c_str(), 0, nullptr, 0,
                                     KEY_READ | KEY_WRITE | kOtherView, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS) status = Write(key.get(), snapshot);
    if (status != ERROR_SUCCESS) result = HRESULT_FROM_WIN32(status);
  }
  // A shared type library key came back with this build's entry in it.
  const std::wstring ownEntry = TypeLibraryLocaleKey() + L"\\" + kOwnSysKind;
  const HRESULT entry = FromStatus(RegDeleteKeyExW(root_, ownEntry.c_str(), kOwnView, 0));
  return FAILED(result) ? result : entry;
}

HRESULT DeleteInterfaceKeysInBothViews(HKEY root) {
  HRESULT result = S_OK;
  // Each view's keys, and the 32-bit ones once more where they are stored (Wine's 64-bit
  // registration writes them there, and a 64-bit program's delete in the 32-bit view may miss
  // them).
  const std::pair<const wchar_t*, REGSAM> places[] = {
      {L"Software\\Classes\\Interface", KEY_WOW64_32KEY},
      {L"Software\\Classes\\Interface", KEY_WOW64_64KEY},
      {L"Software\\Classes\\Wow6432Node\\Interface", KEY_WOW64_64KEY}};
  for (const auto& [path, view] : places) {
    UniqueRegistryKey interfaces;
    const LSTATUS opened = RegOpenKeyExW(root, path, 0, KEY_READ | KEY_WRITE | DELETE | view,
                                         interfaces.put());
    if (opened != ERROR_SUCCESS) {
      if (FAILED(FromStatus(opened))) result = FromStatus(opened);
      continue;
    }
    for (const GUID* iid : kInterfaces) {
      const HRESULT deleted = FromStatus(RegDeleteTreeW(interfaces.get(), GuidText(*iid).c_str()));
      if (FAILED(deleted)) result = deleted;
    }
  }
  return result;
}

#ifdef _WIN64
constexpr bool kHasOtherView = true;
// Where the 32-bit interface keys are stored, opened in the 64-bit view.
constexpr wchar_t kOtherViewInterfaces[] = L"Software\\Classes\\Wow6432Node\\Interface";
#else
const bool kHasOtherView = OnWow64();
constexpr wchar_t kOtherViewInterfaces[] = L"Software\\Classes\\Interface";
#endif

void DropEmptyUserWow64Keys() {
  const wchar_t* const paths[] = {
      L"Software\\Classes\\Wow6432Node\\CLSID", L"Software\\Classes\\Wow6432Node\\Interface",
      L"Software\\Classes\\Wow6432Node\\TypeLib", L"Software\\Classes\\Wow6432Node"};
  for (const wchar_t* path : paths) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
      continue;
    }
    DWORD subkeys = 1;
    DWORD values = 1;
    const LSTATUS status = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys,
                                            nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                                            nullptr);
    key.reset();
    if (status == ERROR_SUCCESS && subkeys == 0 && values == 0) {
      RegDeleteKeyExW(HKEY_CURRENT_USER, path, KEY_WOW64_64KEY, 0);
    }
  }
}

MachineInterfaceKeysKept::MachineInterfaceKeysKept() : watching_(kHasOtherView) {
  if (!watching_) return;
  for (int i = 0; i < 2; ++i) {
    names_[i] = GuidText(*kInterfaces[i]);
    existed_[i] = KeyExists(HKEY_LOCAL_MACHINE, InterfaceKey(*kInterfaces[i]), kOtherView);
  }
}

MachineInterfaceKeysKept::~MachineInterfaceKeysKept() {
  if (!watching_) return;
  UniqueRegistryKey interfaces;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kOtherViewInterfaces, 0,
                    KEY_READ | KEY_WRITE | DELETE | KEY_WOW64_64KEY,
                    interfaces.put()) != ERROR_SUCCESS) {
    return;
  }
  for (int i = 0; i < 2; ++i) {
    if (!existed_[i]) RegDeleteTreeW(interfaces.get(), names_[i].c_str());
  }
}

}  // namespace sirel::automation
