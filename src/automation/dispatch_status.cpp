#include "dispatch_status.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "error_boundary.h"

namespace sirel::automation {

namespace {

const wchar_t* DispatchStatusText(HRESULT status) {
  switch (status) {
    case DISP_E_MEMBERNOTFOUND: return L"Member not found";
    case DISP_E_BADPARAMCOUNT: return L"Wrong number of arguments";
    case DISP_E_PARAMNOTOPTIONAL: return L"Argument not optional";
    case DISP_E_PARAMNOTFOUND: return L"Named argument not found";
    case DISP_E_TYPEMISMATCH: return L"Type mismatch";
    case DISP_E_OVERFLOW: return L"Overflow";
    case DISP_E_UNKNOWNNAME: return L"Unknown name";
    case DISP_E_UNKNOWNINTERFACE: return L"Unknown interface";
    case DISP_E_BADINDEX: return L"Invalid index";
    default: return L"The type library could not be loaded";
  }
}

}  // namespace

HRESULT ReportDispatchFailure(HRESULT status) noexcept {
  return ReportFailure(status, DispatchStatusText(status));
}

HRESULT ExceptionFromMemberFailure(HRESULT status, EXCEPINFO* exception) noexcept {
  if (SUCCEEDED(status) || status == DISP_E_EXCEPTION || exception == nullptr ||
      HRESULT_FACILITY(status) == FACILITY_DISPATCH) {
    return status;
  }
  *exception = EXCEPINFO{};
  exception->scode = status;
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) == S_OK) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
  }
  return DISP_E_EXCEPTION;
}

}  // namespace sirel::automation
