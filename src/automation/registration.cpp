#include "registration.h"

#include <oleauto.h>

#include <string>
#include <wrl/client.h>

#include "Sirel_h.h"
#include "class_registration.h"
#include "error_boundary.h"
#include "module.h"
#include "win32/unique_resource.h"
#include "registry_views.h"

// Exported by oleaut32 (Windows Vista and later) but not declared by the MinGW headers.
extern "C" {
WINOLEAUTAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDirectory);
WINOLEAUTAPI UnRegisterTypeLibForUser(REFGUID libraryId, WORD major, WORD minor, LCID lcid,
                                      SYSKIND syskind);
}

namespace sirel::automation {

namespace {

using win32::UniqueRegistryKey;

HKEY ScopeRoot(RegistrationScope scope) {
  return scope == RegistrationScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring ClassesPath(const std::wstring& subkey) { return L"Software\\Classes\\" + subkey; }

// Creates the key (in the given registry view) and sets one string value (nullptr name: the
// key's default value).
HRESULT SetString(HKEY root, const std::wstring& subkey, const wchar_t* name,
                  const std::wstring& value, REGSAM view = 0) {
  UniqueRegistryKey key;
  LSTATUS status = RegCreateKeyExW(root, ClassesPath(subkey).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE | view, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return HRESULT_FROM_WIN32(status);
}

HRESULT DeleteTree(HKEY root, const std::wstring& subkey, REGSAM view = 0) {
  UniqueRegistryKey classes;
  LSTATUS status = RegOpenKeyExW(root, L"Software\\Classes", 0, KEY_READ | KEY_WRITE | DELETE | view,
                                 classes.put());
  if (status == ERROR_SUCCESS) status = RegDeleteTreeW(classes.get(), subkey.c_str());
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return S_OK;
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  return S_OK;
}

HRESULT WriteClassKeys(HKEY root, const std::wstring& modulePath) {
  // The ProgID is shared by the x86 and the x64 build; the class key is this build's own.
  const OwnClassKey own = ClassKeyOfThisBuild();
  const std::wstring& classKey = own.path;
  const struct {
    std::wstring subkey;
    const wchar_t* name;
    std::wstring value;
    REGSAM view;
  } values[] = {
      {classKey, nullptr, kClassName, own.view},
      {classKey + L"\\InprocServer32", nullptr, modulePath, own.view},
      {classKey + L"\\InprocServer32", L"ThreadingModel", kThreadingModel, own.view},
      {classKey + L"\\ProgID", nullptr, kProgId, own.view},
      {classKey + L"\\TypeLib", nullptr, GuidText(LIBID_Sirel), own.view},
      // After the class key: once the x86 build has made the user's Wow6432Node, Wine
      // redirects every later key of a 32-bit program there, the ProgID's too.
      {kProgId, nullptr, kClassName, 0},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(CLSID_Sireler), 0},
  };
  for (const auto& value : values) {
    SIREL_RETURN_IF_FAILED(SetString(root, value.subkey, value.name, value.value, value.view));
  }
  return S_OK;
}

// The scope's own classes key: HKLM\Software\Classes or HKCU\Software\Classes.
HRESULT OpenScopeClasses(RegistrationScope scope, UniqueRegistryKey& classes) {
  return HRESULT_FROM_WIN32(RegCreateKeyExW(ScopeRoot(scope), L"Software\\Classes", 0, nullptr, 0,
                                            KEY_ALL_ACCESS, nullptr, classes.put(), nullptr));
}

// The full name of an open key (\REGISTRY\...), empty when it cannot be read.
std::wstring KeyName(HKEY key) {
  using QueryKey = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<QueryKey>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
  if (query == nullptr) return {};
  constexpr int kKeyNameInformation = 3;
  struct {
    ULONG length;
    wchar_t name[1024];
  } info{};
  ULONG size = 0;
  if (query(key, kKeyNameInformation, &info, sizeof(info), &size) != 0) return {};
  return std::wstring(info.name, info.length / sizeof(wchar_t));
}

// While alive, HKEY_CLASSES_ROOT of this process means the scope's own classes key, so that the
// type library functions (which write and delete through HKEY_CLASSES_ROOT) touch only that
// hive: the merged classes root of Windows would let a per-machine call change or delete a
// per-user registration, and Wine 8's per-user functions write for the machine. The
// redirection is process-wide, so registrations of this library are serialised, and the
// destructor gives the classes root back exactly as it was: the default mapping, or the key
// that the host itself had put there.
class ClassesRootRedirection {
 public:
  explicit ClassesRootRedirection(RegistrationScope scope) {
    UniqueRegistryKey classes;
    status_ = OpenScopeClasses(scope, classes);
    if (FAILED(status_)) return;
    // A new handle to whatever the classes root means now (an empty subkey names the key
    // itself). The default mapping is the machine's classes key; anything else is the host's.
    status_ = HRESULT_FROM_WIN32(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"", 0, nullptr, 0,
                                                 MAXIMUM_ALLOWED, nullptr, previous_.put(),
                                                 nullptr));
    if (FAILED(status_)) return;
    UniqueRegistryKey machine;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_READ, machine.put()) ==
        ERROR_SUCCESS) {
      const std::wstring name = KeyName(previous_.get());
      host_override_ = name.empty() || lstrcmpiW(name.c_str(), KeyName(machine.get()).c_str()) != 0;
    }
    status_ = HRESULT_FROM_WIN32(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes.get()));
    redirected_ = SUCCEEDED(status_);
  }
  ~ClassesRootRedirection() {
    if (redirected_) {
      RegOverridePredefKey(HKEY_CLASSES_ROOT, host_override_ ? previous_.get() : nullptr);
    }
  }
  ClassesRootRedirection(const ClassesRootRedirection&) = delete;
  ClassesRootRedirection& operator=(const ClassesRootRedirection&) = delete;

  HRESULT status() const { return status_; }

 private:
  static SRWLOCK lock_;
  // First, so that it is held from before the redirection until after it is undone.
  win32::ExclusiveLock held_{lock_};
  UniqueRegistryKey previous_;
  bool host_override_ = false;
  bool redirected_ = false;
  HRESULT status_ = E_FAIL;
};

SRWLOCK ClassesRootRedirection::lock_ = SRWLOCK_INIT;

HRESULT RegisterTypeLibrary(RegistrationScope scope, const std::wstring& modulePath) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  SIREL_RETURN_IF_FAILED(LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library));
  // No help directory: the library has no help file.
  wchar_t noHelpDirectory[] = L"";
  auto* path = const_cast<LPOLESTR>(modulePath.c_str());
  ClassesRootRedirection redirection(scope);
  SIREL_RETURN_IF_FAILED(redirection.status());
  if (scope == RegistrationScope::Machine) {
    return RegisterTypeLib(library.Get(), path, noHelpDirectory);
  }
  const MachineInterfaceKeysKept machineKeysKept;
  return RegisterTypeLibForUser(library.Get(), path, noHelpDirectory);
}

HRESULT UnregisterTypeLibrary(RegistrationScope scope) {
  // Removing what is not there is no error; Wine answers E_INVALIDARG for it, so the library
  // functions are not even asked.
  if (!ThisBuildRegistered(ScopeRoot(scope))) return S_OK;
  ClassesRootRedirection redirection(scope);
  SIREL_RETURN_IF_FAILED(redirection.status());
  const HRESULT status =
      scope == RegistrationScope::Machine
          ? UnRegisterTypeLib(LIBID_Sirel, kTypeLibMajorVersion, kTypeLibMinorVersion,
                              kTypeLibLocale, kTypeLibSysKind)
          : UnRegisterTypeLibForUser(LIBID_Sirel, kTypeLibMajorVersion, kTypeLibMinorVersion,
                                     kTypeLibLocale, kTypeLibSysKind);
  return status == TYPE_E_REGISTRYACCESS || status == TYPE_E_LIBNOTREGISTERED ? S_OK : status;
}

}  // namespace

// Both run in the ABI guard: an exception (out of memory) becomes its status with error info.
HRESULT RegisterServer(RegistrationScope scope) noexcept {
  const HRESULT status = GuardedStatus([scope] {
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty()) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT written = WriteClassKeys(ScopeRoot(scope), modulePath);
    if (SUCCEEDED(written)) written = RegisterTypeLibrary(scope, modulePath);
    return written;
  });
  // Half a registration is worse than none, whatever ended it: a failing call or an exception
  // (out of memory) thrown in the middle.
  if (FAILED(status)) UnregisterServer(scope);
  return status;
}

HRESULT UnregisterServer(RegistrationScope scope) noexcept {
  return GuardedStatus([scope] {
    const HKEY root = ScopeRoot(scope);
    const OwnClassKey own = ClassKeyOfThisBuild();
    const bool otherRegistered = OtherBuildRegistered(root);
    // What the other build still needs, read before this build's keys go.
    KeysOfTheOtherBuild others(root);
    const HRESULT typeLibrary = UnregisterTypeLibrary(scope);
    const HRESULT interfaces = otherRegistered ? S_OK : DeleteInterfaceKeysInBothViews(root);
    const HRESULT progId = DeleteTree(root, kProgId);
    const HRESULT classKey = DeleteTree(root, own.path, own.view);
    const HRESULT restored = otherRegistered ? others.Restore() : S_OK;
    if (scope == RegistrationScope::User) DropEmptyUserWow64Keys();
    for (const HRESULT status : {typeLibrary, interfaces, progId, classKey}) {
      if (FAILED(status)) return status;
    }
    return restored;
  });
}

}  // namespace sirel::automation
