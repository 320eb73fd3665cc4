// The x86 and the x64 Sirel.dll registered side by side on one 64-bit system, per machine or
// per user. Which class-registry keys the two builds share and which each has in its own
// registry view differs between systems (Windows shares the ProgID and the type library key
// and keeps a class key and interface keys per view; Wine 8 redirects all of a user's classes
// once a Wow6432Node exists there). So unregistering never assumes either:
//   - OtherBuildRegistered: the other build's entry of the type library is in this scope;
//   - KeysOfTheOtherBuild: while the other build is registered, the keys it reads (ProgID, type
//     library, interfaces), as its own view shows them, are read before this build unregisters
//     and written back afterwards wherever the unregistration took them away; this build's own
//     type library entry is then removed from the restored keys;
//   - the last build out removes the interface keys in both views.
// The x86 build on a 64-bit system writes its class key into Wow6432Node by name: Wine
// redirects HKLM there for 32-bit programs but not, at first, HKCU; Windows puts it there in
// both scopes.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace sirel::automation {

// A GUID as the registry names it: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::wstring GuidText(REFGUID guid);

// Where this build's class key lives: the path below <scope>\Software\Classes and the view
// (KEY_WOW64_*) in which that path is opened.
struct OwnClassKey {
  std::wstring path;
  REGSAM view;
};
OwnClassKey ClassKeyOfThisBuild();

// Whether the scope's type library key holds this build's entry (as this build's view shows
// it) or the other build's (as the other build's view shows it): TypeLib\{library}\<major.minor
// in hexadecimal>\<locale>\<win32|win64>. root: HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
bool ThisBuildRegistered(HKEY root);
bool OtherBuildRegistered(HKEY root);

// A key with its string values and subkeys, as read.
struct KeySnapshot {
  std::vector<std::pair<std::wstring, std::wstring>> values;  // "" names the default value
  std::vector<std::pair<std::wstring, KeySnapshot>> subkeys;
};

class KeysOfTheOtherBuild {
 public:
  explicit KeysOfTheOtherBuild(HKEY root);  // reads them
  HRESULT Restore();                        // writes back what is missing, drops own entry

 private:
  HKEY root_;
  std::vector<std::pair<std::wstring, KeySnapshot>> kept_;
};

// Removes the keys of both interfaces in the 32-bit and in the 64-bit view.
HRESULT DeleteInterfaceKeysInBothViews(HKEY root);

// Removes the user's Wow6432Node and its CLSID, Interface and TypeLib keys when they are empty:
// the x86 build's per-user registration makes them (Windows keeps them anyway, Wine only once
// something has been written there), and a user's classes should look as they did before.
void DropEmptyUserWow64Keys();

// While alive, a per-user registration leaves the machine's interface keys as they were: Wine's
// type library registration on a 64-bit system also writes the interface keys in the other
// view (the 64-bit one from the x86 build, the 32-bit one from the x64 build), and that write
// ignores the redirection of HKEY_CLASSES_ROOT to the user's classes, so it lands in the
// machine's classes. The keys it added there are removed again when this ends.
class MachineInterfaceKeysKept {
 public:
  MachineInterfaceKeysKept();
  ~MachineInterfaceKeysKept();
  MachineInterfaceKeysKept(const MachineInterfaceKeysKept&) = delete;
  MachineInterfaceKeysKept& operator=(const MachineInterfaceKeysKept&) = delete;

 private:
  bool watching_ = false;
  bool existed_[2] = {};
  std::wstring names_[2];  // made before anything changes: the destructor allocates nothing
};

}  // namespace sirel::automation
