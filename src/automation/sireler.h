// The COM class Sireler: one poster behind the class interface _Sireler (dual: a function
// table and IDispatch), with a connection point for the event interface __Sireler, rich error
// info and class info for hosts. The methods only translate between automation types and the
// core's: every rule lives in the Poster.
//
// Every method runs its body through Call(), which holds a reference to the object for the
// length of the call (an event handler may release the client's last reference while the
// poster is still raising) and turns any exception into the call's HRESULT.
//
// Apartment rule (thread_affinity.h): called on another thread than its own through a raw
// pointer, every member of _Sireler, IDispatch and the connection-point interfaces returns
// RPC_E_WRONG_THREAD and changes nothing; QueryInterface, AddRef, Release,
// InterfaceSupportsErrorInfo and IProvideClassInfo2 answer on any thread. A last Release on
// another thread frees the object without touching the window, and hands the client's event
// sinks to the owner thread's window to be let go there (thread_affinity.h); when that window
// is gone, they are left.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "Sirel_h.h"
#include "com_object.h"
#include "connection_point.h"
#include "error_boundary.h"
#include "module.h"
#include "thread_affinity.h"
#include "poster/poster.h"

namespace sirel::automation {

class Sireler final : public _Sireler,
                      public IConnectionPointContainer,
                      public ISupportErrorInfo,
                      public IProvideClassInfo2 {
 public:
  // Makes a poster on the calling thread, runs its initialisation and returns interface iid
  // of the new object. When the initialisation fails, its error is returned and no object
  // remains.
  static HRESULT Create(REFIID iid, void** object) noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // _Sireler, in the order of its function table.
  HRESULT STDMETHODCALLTYPE get_MinPriority(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_MinPriority(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_MaxPriority(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_MaxPriority(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_Top(float* value) override;
  HRESULT STDMETHODCALLTYPE get_Left(float* value) override;
  HRESULT STDMETHODCALLTYPE get_hwnd(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_LastMessage(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_ShowCounter(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ShowCounter(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_ShowPriority(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ShowPriority(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_MaxListCount(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_MaxListCount(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_ReturnFocus(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ReturnFocus(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_EnableEvents(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_EnableEvents(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE get_Count(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_FormVisible(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_FormVisible(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE ResetCounter() override;
  HRESULT STDMETHODCALLTYPE SetLocation(float* top, float* left) override;
  HRESULT STDMETHODCALLTYPE DoSirel(BSTR* text, LONG* priority) override;
  HRESULT STDMETHODCALLTYPE ClearList() override;
  HRESULT STDMETHODCALLTYPE SetParentWindow(VARIANT* window) override;
  HRESULT STDMETHODCALLTYPE DeleteSelectedMessages() override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

 private:
  explicit Sireler(ThreadState& thread);
  ~Sireler() = default;
  // The last Release on another thread: false when the sinks could not be handed over (no
  // memory), and then the whole object is left, so that no sink is let go on this thread.
  bool HandSinksToOwner() noexcept;

  template <class Body>
  HRESULT Call(Body&& body) noexcept {
    if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
    AddRef();
    const HRESULT status = Guarded(body);
    affinity_.NoteOwnersWindow();
    Release();
    return status;
  }

  ModuleReference module_reference_;
  ReferenceCount references_;
  ThreadAffinity affinity_;
  Poster poster_;
  ConnectionPoint connection_point_;
};

}  // namespace sirel::automation
