#include "class_factory.h"

#include "com_object.h"
#include "error_boundary.h"
#include "module.h"
#include "win32/native_platform.h"
#include "win32/unique_resource.h"
#include "sireler.h"

namespace sirel::automation {

namespace {

const InterfaceEntry<ClassFactory> kInterfaces[] = {
    {&IID_IClassFactory, &AsInterface<ClassFactory, IClassFactory>},
};

}  // namespace

ClassFactory& ClassFactory::Instance() {
  static ClassFactory factory;
  return factory;
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this, kInterfaces, iid, object);
}

// The factory is never deleted; each reference it hands out keeps the module loaded.
ULONG ClassFactory::AddRef() {
  ObjectCreated();
  return 2;
}

ULONG ClassFactory::Release() {
  ObjectDestroyed();
  return 1;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  SIREL_RETURN_IF_FAILED(Guarded([] { win32::InstallNativePlatform(ThreadStates()); }));
  return Sireler::Create(iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

}  // namespace sirel::automation
