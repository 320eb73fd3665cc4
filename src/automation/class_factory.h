// The class factory of Sireler: one per process, never deleted. Its references count as live
// objects of the module, so the library stays loaded while a client holds the factory.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace sirel::automation {

class ClassFactory final : public IClassFactory {
 public:
  static ClassFactory& Instance();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // Refuses an outer object (CLASS_E_NOAGGREGATION); otherwise makes and initialises a poster
  // on the calling thread. A failed initialisation returns its error and no object.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ClassFactory() = default;
};

}  // namespace sirel::automation
