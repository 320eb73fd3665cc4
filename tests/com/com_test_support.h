// Shared helpers of the COM tests: Sirel.dll loaded from the test program's folder and its entry
// points, posters made through the class factory, an owning VARIANT, and IDispatch calls with
// arguments given in declared order.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "Sirel_h.h"

namespace sirel::test {

using Microsoft::WRL::ComPtr;

// Sirel.dll, loaded once for the test program and never unloaded.
class SirelDll {
 public:
  static SirelDll& Get();

  HMODULE module() const { return module_; }
  const std::wstring& path() const { return path_; }

  HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) const;
  HRESULT CanUnloadNow() const;
  HRESULT RegisterServer() const;
  HRESULT UnregisterServer() const;
  HRESULT Install(BOOL install, const wchar_t* command) const;

 private:
  SirelDll();
  HMODULE module_ = nullptr;
  std::wstring path_;
};

// The folder of the test program, with a trailing backslash.
std::wstring ProgramFolder();

// The two builds of Sirel.dll a test reads as files: the DLL of this program's own build (x64
// or x86, next to the program) and the DLL of the other build of the same checkout (its sibling
// build folder, or SIREL_OTHER_DLL), each with the type library its build compiled.
struct DllBuild {
  const char* name;
  std::wstring path;
  SYSKIND syskind;
  std::wstring typeLibraryFile;
  bool own;  // this program's build: the reading process has the DLL's pointer size
};
std::vector<DllBuild> DllBuilds();

// A test run once for each DLL build (named x64 or x86, and other_x86 or other_x64); skipped for
// an other build that is not there, failed when the program's own DLL is missing.
class DllBuildTest : public testing::TestWithParam<DllBuild> {
 protected:
  void SetUp() override {
    const DllBuild& build = GetParam();
    if (GetFileAttributesW(build.path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      if (build.own) FAIL() << "no Sirel.dll next to the program";
      GTEST_SKIP() << "no " << build.name << " DLL here (build the other preset first)";
    }
  }
};
inline std::string DllBuildName(const testing::TestParamInfo<DllBuild>& info) {
  return info.param.name;
}

// Sirel.dll registered (per machine) for a scope, as a host finds it: each entry point is called
// with the DLL loaded just for the call, so the registration leaves it unloaded.
struct ScopedRegistration {
  ScopedRegistration() { status = Call("DllRegisterServer"); }
  ~ScopedRegistration() { Call("DllUnregisterServer"); }
  static HRESULT Call(const char* entry);
  HRESULT status = E_FAIL;
};

// A new poster through the class factory; fails the current test when creation fails.
ComPtr<_Sireler> CreatePoster();
// One line with priority 1 through the class interface.
HRESULT Post(_Sireler* poster, const wchar_t* line);
// The message window as the poster names it (hwnd).
HWND WindowOf(_Sireler* poster);

class Variant {
 public:
  Variant() { VariantInit(&value); }
  explicit Variant(LONG number) : Variant() {
    V_VT(&value) = VT_I4;
    V_I4(&value) = number;
  }
  explicit Variant(double number) : Variant() {
    V_VT(&value) = VT_R8;
    V_R8(&value) = number;
  }
  explicit Variant(const wchar_t* text) : Variant() {
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocString(text);
  }
  static Variant Bool(bool on) {
    Variant v;
    V_VT(&v.value) = VT_BOOL;
    V_BOOL(&v.value) = on ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
  }
  static Variant Null() {
    Variant v;
    V_VT(&v.value) = VT_NULL;
    return v;
  }
  // What a script passes for a variable: a reference to a Variant.
  static Variant RefTo(VARIANT& target) {
    Variant v;
    V_VT(&v.value) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v.value) = &target;
    return v;
  }
  // What a client passes for a left-out optional argument.
  static Variant Missing() {
    Variant v;
    V_VT(&v.value) = VT_ERROR;
    V_ERROR(&v.value) = DISP_E_PARAMNOTFOUND;
    return v;
  }
  ~Variant() { VariantClear(&value); }
  Variant(Variant&& other) noexcept : Variant() { std::swap(value, other.value); }
  Variant& operator=(Variant&& other) noexcept {
    std::swap(value, other.value);
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT value;
};

// The outcome of one IDispatch::Invoke.
struct InvokeResult {
  HRESULT status = E_FAIL;
  Variant result;
  EXCEPINFO exception{};
  UINT argumentError = ~0u;
  InvokeResult() = default;
  InvokeResult(InvokeResult&& other) noexcept
      : status(other.status),
        result(std::move(other.result)),
        exception(std::exchange(other.exception, EXCEPINFO{})),
        argumentError(other.argumentError) {}
  ~InvokeResult();
};

// Invokes id with the arguments in declared order (they are passed last-first, as the calling
// convention wants); a put passes its one argument named DISPID_PROPERTYPUT. named, when given,
// names each argument (same order as args).
InvokeResult InvokeDispatch(IDispatch* object, DISPID id, WORD flags, std::vector<Variant> args,
                            std::vector<DISPID> named = {});

DISPID DispIdOf(IDispatch* object, const wchar_t* name);

std::wstring Text(BSTR value);
std::wstring LastMessage(_Sireler* poster);
LONG Count(_Sireler* poster);

// The description and source of the calling thread's current error info, "" when none.
struct ErrorInfoText {
  std::wstring source;
  std::wstring description;
};
ErrorInfoText TakeErrorInfo();

}  // namespace sirel::test
