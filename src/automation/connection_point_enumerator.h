// Enumerates the connection points of a Sireler: there is exactly one, that of __Sireler.
// Called on another thread than the object's, its members but IUnknown's answer
// RPC_E_WRONG_THREAD (thread_affinity.h).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <wrl/client.h>

#include "com_object.h"
#include "module.h"
#include "thread_affinity.h"

namespace sirel::automation {

class ConnectionPointEnumerator final : public IEnumConnectionPoints {
 public:
  static HRESULT Create(IConnectionPoint* point, const ThreadAffinity& affinity,
                        IEnumConnectionPoints** enumerator) noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** enumerator) override;

 private:
  ConnectionPointEnumerator(IConnectionPoint* point, const ThreadAffinity& affinity,
                            ULONG position)
      : affinity_(affinity), point_(point), position_(position) {}
  ~ConnectionPointEnumerator() = default;

  ModuleReference module_reference_;
  ReferenceCount references_;
  ThreadAffinity affinity_;  // a copy: the enumerator may outlive the object's other parts
  Microsoft::WRL::ComPtr<IConnectionPoint> point_;
  ULONG position_;  // 0 before the point, 1 after it
};

}  // namespace sirel::automation
