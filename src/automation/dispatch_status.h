// Failures of IDispatch calls. The dispatch layer's own refusals (member not found, bad
// argument count, type mismatch, ...) carry rich error info like the members' errors do. A
// member's failure reaches a late-bound client as DISP_E_EXCEPTION with the EXCEPINFO filled
// from the member's error info, which is how script clients read Err.Number and
// Err.Description.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace sirel::automation {

// Publishes error info describing a dispatch status and returns the status.
HRESULT ReportDispatchFailure(HRESULT status) noexcept;

// The status of ITypeInfo::Invoke as the client gets it: a failure of the member itself
// becomes DISP_E_EXCEPTION with *exception filled, when the client passed an EXCEPINFO.
HRESULT ExceptionFromMemberFailure(HRESULT status, EXCEPINFO* exception) noexcept;

}  // namespace sirel::automation
