// The library's own type library, loaded once per process from the TYPELIB resource of
// Sirel.dll: the type infos that the COM object hands out, and the dispatch facts of the class
// interface's members (DISPID, kind, parameter types, the default of an optional parameter)
// that IDispatch::Invoke checks and converts a call against before the type library runs it.
// Loaded on first use (again by the next caller when a load fails) and never released: an
// unload may not call into COM, and the platform's type library cache outlives the library.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstddef>
#include <vector>

namespace sirel::automation {

constexpr std::size_t kMaxDispatchParams = 4;

struct DispatchParam {
  VARTYPE type = VT_EMPTY;  // declared type without VT_BYREF; VT_VARIANT for a Variant
  bool byReference = false;
  bool hasDefault = false;
  VARIANT defaultValue{};  // a plain value (VT_I4, ...) when hasDefault
};

struct DispatchMember {
  DISPID id = DISPID_UNKNOWN;
  INVOKEKIND kind = INVOKE_FUNC;
  UINT paramCount = 0;  // the parameters a caller passes (no return value parameter)
  DispatchParam params[kMaxDispatchParams];
};

class TypeLibrary {
 public:
  // The process's instance; the status of the load when the type library cannot be read.
  static HRESULT Get(const TypeLibrary** library) noexcept;

  ITypeLib* library() const { return library_.Get(); }
  // _Sireler in its dispatch form, the one that ITypeInfo::Invoke and name lookup use.
  ITypeInfo* classInterface() const { return class_interface_.Get(); }
  ITypeInfo* coclass() const { return coclass_.Get(); }

  // The member that an invocation of id with these DISPATCH_ flags calls, or nullptr when the
  // class has no such member (a put on a read-only property, DISPID 0, an unknown DISPID).
  const DispatchMember* Find(DISPID id, WORD flags) const;

 private:
  TypeLibrary() = default;
  HRESULT Load() noexcept;
  HRESULT LoadOrThrow();
  void Unload() noexcept;
  HRESULT ReadMembers();

  Microsoft::WRL::ComPtr<ITypeLib> library_;
  Microsoft::WRL::ComPtr<ITypeInfo> class_interface_;
  Microsoft::WRL::ComPtr<ITypeInfo> coclass_;
  std::vector<DispatchMember> members_;
};

}  // namespace sirel::automation
