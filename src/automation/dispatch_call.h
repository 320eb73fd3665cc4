// One IDispatch::Invoke of the class interface, checked and converted before the type library
// runs it:
//   - every argument (positional, or named by its parameter position, or the put value named
//     DISPID_PROPERTYPUT) is read through any VT_BYREF (script clients pass variables as
//     VT_BYREF|VT_VARIANT) and converted to the declared type by the automation conversion
//     rules; one that cannot be converted fails the call before the member runs, and so does
//     a null reference or a chain of references more than a few deep (one that refers to
//     itself);
//   - an omitted optional parameter gets its default from the type library (Wine's
//     ITypeInfo::Invoke would otherwise pass the default itself as the pointer);
//   - more arguments than parameters are refused (Wine does not count them).
// The prepared call passes every parameter as VT_BYREF of its declared type, in declared order
// last-first, which is what the by-reference parameters of the class interface take.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "type_library.h"

namespace sirel::automation {

class DispatchCall {
 public:
  DispatchCall() = default;
  ~DispatchCall();
  DispatchCall(const DispatchCall&) = delete;
  DispatchCall& operator=(const DispatchCall&) = delete;

  // S_OK, or the dispatch status that refuses the call: DISP_E_BADPARAMCOUNT,
  // DISP_E_PARAMNOTOPTIONAL, DISP_E_PARAMNOTFOUND, DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW,
  // with *argumentError (when given) the index in rgvarg of the offending argument.
  HRESULT Prepare(const DispatchMember& member, const DISPPARAMS& caller, LCID lcid,
                  UINT* argumentError);

  DISPPARAMS* params() { return &params_; }

 private:
  HRESULT Bind(const DispatchParam& param, VARIANTARG& value, UINT slot, LCID lcid);

  VARIANTARG args_[kMaxDispatchParams]{};    // VT_BYREF|type, pointing at the values
  VARIANT converted_[kMaxDispatchParams]{};  // values that needed a conversion
  UINT converted_count_ = 0;
  DISPID put_name_ = DISPID_PROPERTYPUT;
  DISPPARAMS params_{};
};

}  // namespace sirel::automation
