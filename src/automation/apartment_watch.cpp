#include "apartment_watch.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <new>

#include "thread/thread_state.h"
#include "module.h"
#include "win32/live_windows.h"

namespace sirel::automation {

namespace {

DWORD g_spy_slot = TLS_OUT_OF_INDEXES;  // the calling thread's registered spy, or null

class ApartmentSpy;
ApartmentSpy* ThreadSpy() noexcept {
  return g_spy_slot == TLS_OUT_OF_INDEXES ? nullptr
                                          : static_cast<ApartmentSpy*>(TlsGetValue(g_spy_slot));
}

class ApartmentSpy final : public IInitializeSpy {
 public:
  // Registers a spy for the calling thread. False only for lack of memory: the window must not
  // exist unwatched then. (Refused for another reason, the thread goes unwatched, as before.)
  static bool RegisterForThisThread() noexcept {
    if (g_spy_slot == TLS_OUT_OF_INDEXES || ThreadSpy() != nullptr) return true;
    auto* spy = new (std::nothrow) ApartmentSpy;
    if (spy == nullptr) return false;
    const HRESULT registered = CoRegisterInitializeSpy(spy, &spy->cookie_);
    if (FAILED(registered) || !TlsSetValue(g_spy_slot, spy)) {
      if (SUCCEEDED(registered)) CoRevokeInitializeSpy(spy->cookie_);
      spy->Release();
      return registered != E_OUTOFMEMORY;
    }
    spy->Release();  // COM holds it now
    return true;
  }

  // Revokes the calling thread's spy; COM's release of it deletes it.
  static void RevokeForThisThread() noexcept {
    ApartmentSpy* spy = ThreadSpy();
    if (spy == nullptr) return;
    TlsSetValue(g_spy_slot, nullptr);
    CoRevokeInitializeSpy(spy->cookie_);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IInitializeSpy)) {
      *object = static_cast<IInitializeSpy*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --references_;
    if (remaining == 0) delete this;
    return remaining;
  }

  HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT status, DWORD, DWORD) override {
    return status;
  }
  // The last uninitialisation of the thread: the native window goes now, with the spy (the
  // window object stays for the code of it that may be running further up the stack); what
  // lives on elsewhere keeps the module for good.
  HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD references) override {
    if (references != 1) return S_OK;
    AddRef();  // revoked below, from inside its own call
    if (ThreadState* state = ThreadState::CurrentIfMade()) state->CloseWindow();
    RevokeForThisThread();
    if (!ModuleCanUnload()) win32::KeepModuleForGood();
    Release();
    return S_OK;
  }
  // The apartment has ended though this spy saw no last uninitialisation (another component
  // dropped its own initialisation from its spy during the host's last one): COM may have freed
  // the library already, and only the window's own reference keeps it mapped. It is kept for
  // good; the window lives on.
  HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD references) override {
    if (references == 0) win32::KeepModuleForGood();
    return S_OK;
  }

 private:
  ApartmentSpy() = default;
  ~ApartmentSpy() {
    // Released by COM at the thread's end without a revoke: the record must not dangle.
    if (g_spy_slot != TLS_OUT_OF_INDEXES && ThreadSpy() == this) TlsSetValue(g_spy_slot, nullptr);
  }

  std::atomic<ULONG> references_{1};
  ULARGE_INTEGER cookie_{};
};

// The spy lives exactly as long as the thread's window: a thread without one has nothing of
// the library that could run after an unload.
class SpyPerWindow final : public win32::WindowLifeObserver {
 public:
  bool OnWindowCreated() noexcept override { return ApartmentSpy::RegisterForThisThread(); }
  void OnWindowDestroyed() noexcept override { ApartmentSpy::RevokeForThisThread(); }
};

SpyPerWindow g_observer;

}  // namespace

bool BeginApartmentWatch() noexcept {
  g_spy_slot = TlsAlloc();
  if (g_spy_slot == TLS_OUT_OF_INDEXES) return false;
  win32::SetWindowLifeObserver(&g_observer);
  return true;
}

void EndThreadApartmentWatch() noexcept { ApartmentSpy::RevokeForThisThread(); }

void EndApartmentWatch() noexcept {
  win32::SetWindowLifeObserver(nullptr);
  if (g_spy_slot != TLS_OUT_OF_INDEXES) TlsFree(g_spy_slot);
  g_spy_slot = TLS_OUT_OF_INDEXES;
}

}  // namespace sirel::automation
