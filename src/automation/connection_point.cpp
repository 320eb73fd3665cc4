#include "connection_point.h"

#include <olectl.h>

#include <memory>
#include <wrl/client.h>

#include "Sirel_h.h"
#include "dispatch_event_sink.h"
#include "error_boundary.h"

namespace sirel::automation {

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() { return container_.AddRef(); }

ULONG ConnectionPoint::Release() { return container_.Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (iid == nullptr) return E_POINTER;
  *iid = DIID___Sireler;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (container == nullptr) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  // Held from the start: the sink's QueryInterface is client code and may release the client's
  // last reference to the object.
  const Microsoft::WRL::ComPtr<IConnectionPoint> held(this);
  Microsoft::WRL::ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(DIID___Sireler, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf())))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  const HRESULT status = Guarded([&] {
    *cookie = source_.Connect(std::make_shared<DispatchEventSink>(std::move(dispatch)));
  });
  affinity_.NoteOwnersWindow();  // where the sink is let go should the last release come elsewhere
  return status;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  // Dropping the connection releases the sink, and a sink may release the object in turn.
  AddRef();
  const bool disconnected = source_.Disconnect(cookie);
  Release();
  return disconnected ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (connections != nullptr) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace sirel::automation
