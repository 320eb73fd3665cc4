#include "window_argument_variant.h"

#include <oleauto.h>

#include "bstr.h"
#include "core/errors.h"
#include "win32/unique_resource.h"

namespace sirel::automation {

namespace {

using win32::UniqueVariant;

bool IsNumberType(VARTYPE type) {
  switch (type) {
    case VT_BOOL:
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
      return true;
    default:
      return false;
  }
}

WindowArgument FromText(BSTR text) {
  double number = 0;
  if (text != nullptr && SUCCEEDED(VarR8FromStr(text, LOCALE_USER_DEFAULT, 0, &number))) {
    return WindowArgument::Number(number);
  }
  return WindowArgument::Text(FromBstr(text));
}

}  // namespace

WindowArgument WindowArgumentFromVariant(const VARIANT& value) {
  UniqueVariant plain;
  if (FAILED(VariantCopyInd(plain.get(), const_cast<VARIANT*>(&value)))) throw SirelError(ErrorCode::TypeMismatch);
  const VARTYPE type = V_VT(plain.get());

  if (type == VT_EMPTY) return WindowArgument::Number(0);
  if (type == VT_NULL) throw SirelError(ErrorCode::InvalidUseOfNull);
  if (IsNumberType(type)) {
    UniqueVariant number;
    if (FAILED(VariantChangeType(number.get(), plain.get(), 0, VT_R8))) {
      throw SirelError(ErrorCode::Overflow);
    }
    return WindowArgument::Number(V_R8(number.get()));
  }
  if (type == VT_BSTR) return FromText(V_BSTR(plain.get()));

  UniqueVariant text;
  const HRESULT status = VariantChangeType(text.get(), plain.get(), 0, VT_BSTR);
  if (FAILED(status)) {
    throw SirelError(status == DISP_E_OVERFLOW ? ErrorCode::Overflow : ErrorCode::TypeMismatch);
  }
  return FromText(V_BSTR(text.get()));
}

}  // namespace sirel::automation
