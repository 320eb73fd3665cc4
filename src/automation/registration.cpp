#include "registration.h"

#include <oleauto.h>

#include <iterator>
#include <string>
#include <utility>
#include <wrl/client.h>

#include "Sirel_h.h"
#include "class_registration.h"
#include "module.h"

// Exported by oleaut32 (Windows Vista and later) but not declared by the MinGW headers.
extern "C" {
WINOLEAUTAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDirectory);
WINOLEAUTAPI UnRegisterTypeLibForUser(REFGUID libraryId, WORD major, WORD minor, LCID lcid,
                                      SYSKIND syskind);
}

namespace sirel::automation {

namespace {

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

HKEY ScopeRoot(RegistrationScope scope) {
  return scope == RegistrationScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
  return text;
}

std::wstring ClassesPath(const std::wstring& subkey) { return L"Software\\Classes\\" + subkey; }

std::wstring ClassKeyPath() { return L"CLSID\\" + GuidText(CLSID_Sireler); }

// Creates the key and sets one string value (nullptr name: the key's default value).
HRESULT SetString(HKEY root, const std::wstring& subkey, const wchar_t* name,
                  const std::wstring& value) {
  RegistryKey key;
  LSTATUS status = RegCreateKeyExW(root, ClassesPath(subkey).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return HRESULT_FROM_WIN32(status);
}

HRESULT DeleteTree(HKEY root, const std::wstring& subkey) {
  const LSTATUS status = RegDeleteTreeW(root, ClassesPath(subkey).c_str());
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return S_OK;
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  return S_OK;
}

HRESULT WriteClassKeys(HKEY root, const std::wstring& modulePath) {
  const std::wstring classKey = ClassKeyPath();
  const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
      {kProgId, {nullptr, kClassName}},
      {std::wstring(kProgId) + L"\\CLSID", {nullptr, GuidText(CLSID_Sireler)}},
      {classKey, {nullptr, kClassName}},
      {classKey + L"\\InprocServer32", {nullptr, modulePath}},
      {classKey + L"\\InprocServer32", {L"ThreadingModel", kThreadingModel}},
      {classKey + L"\\ProgID", {nullptr, kProgId}},
      {classKey + L"\\TypeLib", {nullptr, GuidText(LIBID_Sirel)}},
  };
  for (const auto& [subkey, value] : values) {
    const HRESULT status = SetString(root, subkey, value.first, value.second);
    if (FAILED(status)) return status;
  }
  return S_OK;
}

// While alive, HKEY_CLASSES_ROOT of this process means the current user's classes. Windows'
// per-user type library functions do this themselves; Wine 8's register for the machine instead
// (they only forward to the machine-wide functions), so the redirection is made here for both.
class UserClassesRedirection {
 public:
  UserClassesRedirection() {
    LSTATUS result = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0,
                                     KEY_ALL_ACCESS, nullptr, classes_.put(), nullptr);
    if (result == ERROR_SUCCESS) result = RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_.get());
    status_ = HRESULT_FROM_WIN32(result);
  }
  ~UserClassesRedirection() {
    if (SUCCEEDED(status_)) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  }
  UserClassesRedirection(const UserClassesRedirection&) = delete;
  UserClassesRedirection& operator=(const UserClassesRedirection&) = delete;

  HRESULT status() const { return status_; }

 private:
  RegistryKey classes_;
  HRESULT status_ = E_FAIL;
};

HRESULT RegisterTypeLibrary(RegistrationScope scope, const std::wstring& modulePath) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  HRESULT status = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library);
  if (FAILED(status)) return status;
  // No help directory: the library has no help file.
  wchar_t noHelpDirectory[] = L"";
  auto* path = const_cast<LPOLESTR>(modulePath.c_str());
  if (scope == RegistrationScope::Machine) {
    return RegisterTypeLib(library.Get(), path, noHelpDirectory);
  }
  UserClassesRedirection redirection;
  if (FAILED(redirection.status())) return redirection.status();
  return RegisterTypeLibForUser(library.Get(), path, noHelpDirectory);
}

HRESULT UnregisterTypeLibrary(RegistrationScope scope) {
  HRESULT status = S_OK;
  if (scope == RegistrationScope::Machine) {
    status = UnRegisterTypeLib(LIBID_Sirel, kTypeLibMajorVersion, kTypeLibMinorVersion,
                               kTypeLibLocale, kTypeLibSysKind);
  } else {
    UserClassesRedirection redirection;
    if (FAILED(redirection.status())) return redirection.status();
    status = UnRegisterTypeLibForUser(LIBID_Sirel, kTypeLibMajorVersion, kTypeLibMinorVersion,
                                      kTypeLibLocale, kTypeLibSysKind);
  }
  // A type library that is not registered is already unregistered.
  return status == TYPE_E_REGISTRYACCESS || status == TYPE_E_LIBNOTREGISTERED ? S_OK : status;
}

}  // namespace

HRESULT RegisterServer(RegistrationScope scope) noexcept {
  try {
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty()) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT status = WriteClassKeys(ScopeRoot(scope), modulePath);
    if (SUCCEEDED(status)) status = RegisterTypeLibrary(scope, modulePath);
    // Half a registration is worse than none.
    if (FAILED(status)) UnregisterServer(scope);
    return status;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer(RegistrationScope scope) noexcept {
  try {
    const HKEY root = ScopeRoot(scope);
    const HRESULT typeLibrary = UnregisterTypeLibrary(scope);
    const HRESULT progId = DeleteTree(root, kProgId);
    const HRESULT classKey = DeleteTree(root, ClassKeyPath());
    if (FAILED(typeLibrary)) return typeLibrary;
    return FAILED(progId) ? progId : classKey;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace sirel::automation
