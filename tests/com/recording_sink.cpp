#include "recording_sink.h"

#include <gtest/gtest.h>

namespace sirel::test {

namespace {

std::string Describe(const VARIANTARG& arg) {
  switch (V_VT(&arg)) {
    case VT_I4: return "I4 " + std::to_string(V_I4(&arg));
    case VT_BOOL: return "BOOL " + std::to_string(V_BOOL(&arg));
    case VT_BSTR: {
      std::string text = "BSTR ";
      for (wchar_t c : Text(V_BSTR(&arg))) text.push_back(c < 128 ? static_cast<char>(c) : '?');
      return text;
    }
    case VT_BYREF | VT_BOOL: return "BYREF BOOL " + std::to_string(*V_BOOLREF(&arg));
    default: return "VT " + std::to_string(V_VT(&arg));
  }
}

}  // namespace

ComPtr<RecordingDispatchSink> RecordingDispatchSink::Make() {
  ComPtr<RecordingDispatchSink> sink;
  sink.Attach(new RecordingDispatchSink());
  return sink;
}

HRESULT RecordingDispatchSink::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, DIID___Sireler)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG RecordingDispatchSink::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT RecordingDispatchSink::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT RecordingDispatchSink::Invoke(DISPID id, REFIID, LCID, WORD invokeFlags, DISPPARAMS* params,
                              VARIANT*, EXCEPINFO* exception, UINT*) {
  // Held for the length of the call: a handler may drop the test's reference.
  ComPtr<RecordingDispatchSink> keep(this);
  RecordedEvent event{id, {}};
  for (UINT i = 0; i < params->cArgs; ++i) event.args.push_back(Describe(params->rgvarg[i]));
  events.push_back(event);
  flags.push_back(invokeFlags);
  if (onEvent) onEvent(id, *params);
  if (FAILED(status) && exception != nullptr) {
    exception->scode = status;
    exception->bstrDescription = SysAllocString(L"the handler failed");
    return DISP_E_EXCEPTION;
  }
  return status;
}

std::vector<DISPID> RecordingDispatchSink::Ids() const {
  std::vector<DISPID> ids;
  for (const RecordedEvent& event : events) ids.push_back(event.id);
  return ids;
}

DWORD Advise(IUnknown* poster, IUnknown* sink) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  EXPECT_EQ(poster->QueryInterface(IID_IConnectionPointContainer,
                                   reinterpret_cast<void**>(container.GetAddressOf())), S_OK);
  if (!container) return 0;
  EXPECT_EQ(container->FindConnectionPoint(DIID___Sireler, &point), S_OK);
  if (!point) return 0;
  EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
  return cookie;
}

HRESULT Unadvise(IUnknown* poster, DWORD cookie) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  poster->QueryInterface(IID_IConnectionPointContainer,
                         reinterpret_cast<void**>(container.GetAddressOf()));
  if (!container || FAILED(container->FindConnectionPoint(DIID___Sireler, &point))) return E_FAIL;
  return point->Unadvise(cookie);
}

VARIANT_BOOL& CancelOf(DISPPARAMS& params) {
  EXPECT_GT(params.cArgs, 0u);
  EXPECT_EQ(V_VT(&params.rgvarg[0]), VT_BYREF | VT_BOOL);
  return *V_BOOLREF(&params.rgvarg[0]);
}

}  // namespace sirel::test
