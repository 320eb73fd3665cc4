#include "dispatch_call.h"

#include <oleauto.h>

#include "win32/unique_resource.h"

namespace sirel::automation {

namespace {

// References to references are followed this deep at most: a chain that goes on (or a variant
// that refers to itself) is refused, never followed for ever.
constexpr int kMaxReferenceDepth = 8;

// The variant a VT_BYREF|VT_VARIANT argument refers to, followed to the end of the chain; nullptr
// for a reference that is null or that the chain never leaves.
VARIANTARG* Dereferenced(VARIANTARG& argument) {
  VARIANTARG* current = &argument;
  for (int depth = 0; V_VT(current) == (VT_BYREF | VT_VARIANT); ++depth) {
    if (depth == kMaxReferenceDepth || V_VARIANTREF(current) == nullptr) return nullptr;
    current = V_VARIANTREF(current);
  }
  // Any other reference must point somewhere, or the conversion would read through null.
  if ((V_VT(current) & VT_BYREF) != 0 && V_BYREF(current) == nullptr) return nullptr;
  return current;
}

// A parameter the caller left out: absent, or passed as the "missing" error value.
bool IsMissing(const VARIANTARG* argument) {
  return argument == nullptr ||
         (V_VT(argument) == VT_ERROR && V_ERROR(argument) == DISP_E_PARAMNOTFOUND);
}

// Where a value of this type is stored in a variant, for pointing a VT_BYREF at it; nullptr
// for a type the class interface does not use.
void* ValueAddress(VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_I4: return &V_I4(&value);
    case VT_R4: return &V_R4(&value);
    case VT_BOOL: return &V_BOOL(&value);
    case VT_BSTR: return &V_BSTR(&value);
    default: return nullptr;
  }
}

void* ReferenceAddress(VARIANTARG& argument) {
  return V_BYREF(&argument);
}

}  // namespace

DispatchCall::~DispatchCall() {
  for (UINT i = 0; i < converted_count_; ++i) VariantClear(&converted_[i]);
}

HRESULT DispatchCall::Prepare(const DispatchMember& member, const DISPPARAMS& caller, LCID lcid,
                              UINT* argumentError) {
  const UINT count = member.paramCount;
  if (caller.cArgs > count) return DISP_E_BADPARAMCOUNT;
  if (caller.cNamedArgs > caller.cArgs || (caller.cArgs > 0 && caller.rgvarg == nullptr) ||
      (caller.cNamedArgs > 0 && caller.rgdispidNamedArgs == nullptr)) {
    return E_INVALIDARG;
  }
  const bool put = member.kind == INVOKE_PROPERTYPUT || member.kind == INVOKE_PROPERTYPUTREF;

  // Find each parameter's argument: positional ones stand last-first after the named ones.
  VARIANTARG* sources[kMaxDispatchParams] = {};
  UINT sourceIndex[kMaxDispatchParams] = {};
  const UINT positional = caller.cArgs - caller.cNamedArgs;
  for (UINT i = 0; i < positional; ++i) {
    const UINT index = caller.cArgs - 1 - i;
    sources[i] = &caller.rgvarg[index];
    sourceIndex[i] = index;
  }
  for (UINT n = 0; n < caller.cNamedArgs; ++n) {
    const DISPID name = caller.rgdispidNamedArgs[n];
    const UINT position = (put && name == DISPID_PROPERTYPUT) ? count - 1 : static_cast<UINT>(name);
    if (name < 0 && !(put && name == DISPID_PROPERTYPUT)) {
      if (argumentError) *argumentError = n;
      return DISP_E_PARAMNOTFOUND;
    }
    if (position >= count || sources[position] != nullptr) {
      if (argumentError) *argumentError = n;
      return DISP_E_PARAMNOTFOUND;
    }
    sources[position] = &caller.rgvarg[n];
    sourceIndex[position] = n;
  }

  for (UINT p = 0; p < count; ++p) {
    const DispatchParam& param = member.params[p];
    const UINT slot = count - 1 - p;
    VARIANTARG* given = sources[p] != nullptr ? Dereferenced(*sources[p]) : nullptr;
    if (sources[p] != nullptr && given == nullptr) {
      if (argumentError) *argumentError = sourceIndex[p];
      return DISP_E_TYPEMISMATCH;
    }
    if (IsMissing(given)) {
      if (!param.hasDefault) return DISP_E_PARAMNOTOPTIONAL;
      // The default is copied: the call must never be able to touch the type library's value.
      VARIANT& copy = converted_[converted_count_];
      VariantInit(&copy);
      SIREL_RETURN_IF_FAILED(VariantCopy(&copy, const_cast<VARIANT*>(&param.defaultValue)));
      ++converted_count_;
      SIREL_RETURN_IF_FAILED(Bind(param, copy, slot, lcid));
      continue;
    }
    const HRESULT status = Bind(param, *given, slot, lcid);
    if (FAILED(status)) {
      if (argumentError) *argumentError = sourceIndex[p];
      return status;
    }
  }

  params_.rgvarg = count > 0 ? args_ : nullptr;
  params_.cArgs = count;
  params_.rgdispidNamedArgs = put ? &put_name_ : nullptr;
  params_.cNamedArgs = put ? 1 : 0;
  return S_OK;
}

// value: the caller's argument with its references followed (never VT_BYREF|VT_VARIANT, never
// a null reference).
HRESULT DispatchCall::Bind(const DispatchParam& param, VARIANTARG& value, UINT slot, LCID lcid) {
  VARIANTARG& arg = args_[slot];
  VariantInit(&arg);

  if (param.type == VT_VARIANT) {
    // A Variant parameter takes the caller's value as it is; the member reads it, never writes.
    V_VT(&arg) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&arg) = &value;
    return S_OK;
  }

  // The value already has the declared type: refer to it where it lies, copying nothing.
  if (V_VT(&value) == param.type) {
    V_VT(&arg) = VT_BYREF | param.type;
    V_BYREF(&arg) = ValueAddress(value);
    return V_BYREF(&arg) != nullptr ? S_OK : DISP_E_TYPEMISMATCH;
  }
  if (V_VT(&value) == (VT_BYREF | param.type)) {
    V_VT(&arg) = VT_BYREF | param.type;
    V_BYREF(&arg) = ReferenceAddress(value);
    return S_OK;
  }

  VARIANT& converted = converted_[converted_count_];
  VariantInit(&converted);
  const HRESULT status = VariantChangeTypeEx(&converted, &value, lcid, 0, param.type);
  if (FAILED(status)) return status == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
  ++converted_count_;
  V_VT(&arg) = VT_BYREF | param.type;
  V_BYREF(&arg) = ValueAddress(converted);
  return V_BYREF(&arg) != nullptr ? S_OK : DISP_E_TYPEMISMATCH;
}

}  // namespace sirel::automation
