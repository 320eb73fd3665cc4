// The one place where exceptions become HRESULTs. Every COM method and entry point of the library
// runs its body through Guarded() or GuardedStatus(); no exception ever crosses the COM boundary.
//
// A SirelError n becomes 0x800A0000 | n (the control facility), so script clients see
// Err.Number = n. Every failure also gets rich error info: source "Sirel.Sireler" and the error
// table's text, published with SetErrorInfo for the caller's ISupportErrorInfo check.
#pragma once

#include <windows.h>

#include <exception>

#include "core/errors.h"

namespace sirel::automation {

// A failure that is a COM status rather than an error of the table (a null out-pointer, ...).
class ComFailure : public std::exception {
 public:
  ComFailure(HRESULT status, const wchar_t* description) : status_(status), description_(description) {}
  HRESULT status() const { return status_; }
  const wchar_t* description() const { return description_; }
  const char* what() const noexcept override { return "COM failure"; }

 private:
  HRESULT status_;
  const wchar_t* description_;
};

constexpr HRESULT HResultOfErrorNumber(std::int32_t number) {
  return static_cast<HRESULT>(0x800A0000u | (static_cast<unsigned>(number) & 0xFFFFu));
}

// Publishes rich error info (source "Sirel.Sireler") and returns status.
HRESULT ReportFailure(HRESULT status, const wchar_t* description) noexcept;
HRESULT ReportError(const SirelError& error) noexcept;
// Maps the exception in flight (call only inside a catch block) to its status, with error info.
HRESULT ReportCurrentException() noexcept;

// Runs a body that returns its own HRESULT; an exception becomes its status, with error info.
template <class Body>
HRESULT GuardedStatus(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ReportCurrentException();
  }
}

// Runs a body that reports failure only by throwing: S_OK, or the exception's status.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  return GuardedStatus([&body] {
    body();
    return S_OK;
  });
}

// Throws ComFailure(E_POINTER) for a null pointer argument; returns the pointer otherwise.
template <class T>
T* Required(T* pointer) {
  if (pointer == nullptr) throw ComFailure(E_POINTER, L"Invalid pointer");
  return pointer;
}

}  // namespace sirel::automation
