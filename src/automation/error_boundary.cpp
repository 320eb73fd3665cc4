#include "error_boundary.h"

#include <oleauto.h>

#include <iterator>
#include <new>
#include <wrl/client.h>

#include "Sirel_h.h"

namespace sirel::automation {

namespace {

constexpr wchar_t kErrorSource[] = L"Sirel.Sireler";

// The table's texts are short ASCII; widening them needs no allocation, so that even an
// out-of-memory failure can be reported.
struct WideText {
  explicit WideText(const char* text) {
    std::size_t i = 0;
    for (; text[i] != '\0' && i + 1 < std::size(chars); ++i) {
      chars[i] = static_cast<unsigned char>(text[i]);
    }
    chars[i] = L'\0';
  }
  wchar_t chars[256];
};

}  // namespace

HRESULT ReportFailure(HRESULT status, const wchar_t* description) noexcept {
  Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(IID__Sireler);
    create->SetSource(const_cast<LPOLESTR>(kErrorSource));
    create->SetDescription(const_cast<LPOLESTR>(description));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
  }
  return status;
}

HRESULT ReportError(const SirelError& error) noexcept {
  return ReportFailure(HResultOfErrorNumber(error.number()), WideText(error.what()).chars);
}

HRESULT ReportCurrentException() noexcept {
  try {
    throw;
  } catch (const SirelError& error) {
    return ReportError(error);
  } catch (const ComFailure& failure) {
    return ReportFailure(failure.status(), failure.description());
  } catch (const std::bad_alloc&) {
    return ReportFailure(HResultOfErrorNumber(static_cast<std::int32_t>(ErrorCode::OutOfMemory)),
                         WideText(ErrorText(ErrorCode::OutOfMemory)).chars);
  } catch (...) {
    return ReportFailure(E_UNEXPECTED, L"Unexpected error");
  }
}

}  // namespace sirel::automation
