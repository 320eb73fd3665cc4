// A test sink for __Sireler events: records every call of its IDispatch::Invoke (DISPID and the
// arguments as they stand in the argument array, last parameter first) and can run a handler
// for each event, which may set Cancel or call back into the poster.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "com_test_support.h"

namespace sirel::test {

struct RecordedEvent {
  DISPID id;
  // Each argument in argument-array order, e.g. "I4 3", "BSTR T", "BOOL -1", "BYREF BOOL 0".
  std::vector<std::string> args;
};

class RecordingDispatchSink final : public IDispatch {
 public:
  // New sinks start with one reference, owned by the ComPtr returned here.
  static ComPtr<RecordingDispatchSink> Make();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  std::vector<RecordedEvent> events;
  std::vector<WORD> flags;
  // Runs after recording; may change *V_BOOLREF of a Cancel argument.
  std::function<void(DISPID, DISPPARAMS&)> onEvent;
  // What Invoke returns (a failing handler).
  HRESULT status = S_OK;

  std::vector<DISPID> Ids() const;

 private:
  RecordingDispatchSink() = default;
  ULONG references_ = 1;
};

// Connects sink to the poster's __Sireler connection point; returns the cookie (0 on failure).
DWORD Advise(IUnknown* poster, IUnknown* sink);
HRESULT Unadvise(IUnknown* poster, DWORD cookie);

// The Cancel argument of a Before-event: the argument at index 0 (the last parameter).
VARIANT_BOOL& CancelOf(DISPPARAMS& params);

}  // namespace sirel::test
