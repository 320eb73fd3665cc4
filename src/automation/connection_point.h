// The connection point of the event interface __Sireler: connects automation sinks to a
// poster's event source. It lives inside the object that owns it (its container) and shares
// that object's reference count, so a client holding the point keeps the object alive and no
// reference cycle can form.
//
// Advise takes any sink that answers __Sireler or, failing that, IDispatch: events are
// delivered through IDispatch::Invoke either way. The connections are not enumerable
// (EnumConnections answers E_NOTIMPL, which the interface allows). Its members but IUnknown's
// answer RPC_E_WRONG_THREAD on another thread than the container's (thread_affinity.h).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "poster/event_source.h"
#include "thread_affinity.h"

namespace sirel::automation {

class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, const ThreadAffinity& affinity,
                  EventSource& source)
      : container_(container), affinity_(affinity), source_(source) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // IUnknown: the identity is the point's own; the lifetime is the container's.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

 private:
  IConnectionPointContainer& container_;
  const ThreadAffinity& affinity_;
  EventSource& source_;
};

}  // namespace sirel::automation
