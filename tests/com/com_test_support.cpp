#include "com_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sirel::test {

namespace {

template <class Function>
Function EntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

namespace {

// The other build's DLL: SIREL_OTHER_DLL, or the sibling build folder of the same checkout
// (<build>/tests/com/ -> ../../../win32 or ../../../win64).
std::wstring OtherDllPath(const wchar_t* otherFolder) {
  wchar_t fromEnvironment[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"SIREL_OTHER_DLL", fromEnvironment, MAX_PATH) > 0) {
    return fromEnvironment;
  }
  return ProgramFolder() + L"..\\..\\..\\" + otherFolder + L"\\src\\automation\\Sirel.dll";
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace

std::vector<DllBuild> DllBuilds() {
  const std::wstring ownTypeLibrary =
      ProgramFolder() + L"..\\..\\src\\automation\\generated\\Sirel.tlb";
#ifdef _WIN64
  const std::wstring other = OtherDllPath(L"win32");
  return {{"x64", ProgramFolder() + L"Sirel.dll", SYS_WIN64, ownTypeLibrary, true},
          {"other_x86", other, SYS_WIN32, FolderOf(other) + L"generated\\Sirel.tlb", false}};
#else
  const std::wstring other = OtherDllPath(L"win64");
  return {{"x86", ProgramFolder() + L"Sirel.dll", SYS_WIN32, ownTypeLibrary, true},
          {"other_x64", other, SYS_WIN64, FolderOf(other) + L"generated\\Sirel.tlb", false}};
#endif
}

SirelDll::SirelDll() : path_(ProgramFolder() + L"Sirel.dll") {
  module_ = LoadLibraryW(path_.c_str());
}

SirelDll& SirelDll::Get() {
  static SirelDll dll;
  return dll;
}

HRESULT SirelDll::GetClassObject(REFCLSID classId, REFIID iid, void** object) const {
  using Function = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  return EntryPoint<Function>(module_, "DllGetClassObject")(classId, iid, object);
}

HRESULT SirelDll::CanUnloadNow() const {
  using Function = HRESULT(STDAPICALLTYPE*)();
  return EntryPoint<Function>(module_, "DllCanUnloadNow")();
}

HRESULT SirelDll::RegisterServer() const {
  using Function = HRESULT(STDAPICALLTYPE*)();
  return EntryPoint<Function>(module_, "DllRegisterServer")();
}

HRESULT SirelDll::UnregisterServer() const {
  using Function = HRESULT(STDAPICALLTYPE*)();
  return EntryPoint<Function>(module_, "DllUnregisterServer")();
}

HRESULT SirelDll::Install(BOOL install, const wchar_t* command) const {
  using Function = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
  return EntryPoint<Function>(module_, "DllInstall")(install, command);
}

HRESULT ScopedRegistration::Call(const char* entry) {
  HMODULE dll = LoadLibraryW((ProgramFolder() + L"Sirel.dll").c_str());
  if (dll == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  const auto function = EntryPoint<HRESULT(STDAPICALLTYPE*)()>(dll, entry);
  const HRESULT status = function != nullptr ? function() : E_NOINTERFACE;
  FreeLibrary(dll);
  return status;
}

ComPtr<_Sireler> CreatePoster() {
  ComPtr<IClassFactory> factory;
  ComPtr<_Sireler> poster;
  const HRESULT got = SirelDll::Get().GetClassObject(CLSID_Sireler, IID_IClassFactory,
                                                     reinterpret_cast<void**>(factory.GetAddressOf()));
  EXPECT_EQ(got, S_OK) << "DllGetClassObject";
  if (FAILED(got)) return poster;
  const HRESULT made = factory->CreateInstance(nullptr, IID__Sireler,
                                               reinterpret_cast<void**>(poster.GetAddressOf()));
  EXPECT_EQ(made, S_OK) << "CreateInstance";
  return poster;
}

InvokeResult::~InvokeResult() {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

InvokeResult InvokeDispatch(IDispatch* object, DISPID id, WORD flags, std::vector<Variant> args,
                            std::vector<DISPID> named) {
  InvokeResult outcome;
  std::vector<VARIANTARG> lastFirst;
  for (auto it = args.rbegin(); it != args.rend(); ++it) lastFirst.push_back(it->value);
  std::vector<DISPID> names(named.rbegin(), named.rend());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{lastFirst.empty() ? nullptr : lastFirst.data(), nullptr,
                    static_cast<UINT>(lastFirst.size()), 0};
  if (!names.empty()) {
    params.rgdispidNamedArgs = names.data();
    params.cNamedArgs = static_cast<UINT>(names.size());
  } else if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  outcome.status = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                  &outcome.result.value, &outcome.exception,
                                  &outcome.argumentError);
  return outcome;
}

DISPID DispIdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
  return id;
}

std::wstring Text(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : L""; }

std::wstring LastMessage(_Sireler* poster) {
  BSTR text = nullptr;
  EXPECT_EQ(poster->get_LastMessage(&text), S_OK);
  std::wstring result = Text(text);
  SysFreeString(text);
  return result;
}

LONG Count(_Sireler* poster) {
  LONG count = -1;
  EXPECT_EQ(poster->get_Count(&count), S_OK);
  return count;
}

ErrorInfoText TakeErrorInfo() {
  ErrorInfoText text;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return text;
  BSTR source = nullptr;
  BSTR description = nullptr;
  info->GetSource(&source);
  info->GetDescription(&description);
  text.source = Text(source);
  text.description = Text(description);
  SysFreeString(source);
  SysFreeString(description);
  return text;
}

HRESULT Post(_Sireler* poster, const wchar_t* line) {
  BSTR text = SysAllocString(line);
  LONG priority = 1;
  const HRESULT status = poster->DoSirel(&text, &priority);
  SysFreeString(text);
  return status;
}

HWND WindowOf(_Sireler* poster) {
  LONG handle = 0;
  poster->get_hwnd(&handle);
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}

}  // namespace sirel::test
