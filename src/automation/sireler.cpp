#include "sireler.h"

#include <olectl.h>
#include <oleauto.h>

#include <new>

#include <wrl/client.h>

#include "bstr.h"
#include "connection_point_enumerator.h"
#include "dispatch_call.h"
#include "dispatch_status.h"
#include "type_library.h"
#include "window_argument_variant.h"
#include "win32/unique_resource.h"

namespace sirel::automation {

namespace {

const InterfaceEntry<Sireler> kInterfaces[] = {
    {&IID__Sireler, &AsInterface<Sireler, _Sireler>},
    {&IID_IDispatch, &AsInterface<Sireler, _Sireler>},
    {&IID_IConnectionPointContainer, &AsInterface<Sireler, IConnectionPointContainer>},
    {&IID_ISupportErrorInfo, &AsInterface<Sireler, ISupportErrorInfo>},
    {&IID_IProvideClassInfo, &AsInterface<Sireler, IProvideClassInfo2>},
    {&IID_IProvideClassInfo2, &AsInterface<Sireler, IProvideClassInfo2>},
};

// Automation Booleans cross unchanged: the core stores whatever 16-bit value it is given.
static_assert(sizeof(VARIANT_BOOL) == sizeof(VBool), "16-bit Booleans");

}  // namespace

Sireler::Sireler(ThreadState& thread)
    : affinity_(thread), poster_(thread), connection_point_(*this, affinity_, poster_.events()) {}

HRESULT Sireler::Create(REFIID iid, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  Sireler* created = nullptr;
  SIREL_RETURN_IF_FAILED(Guarded([&] { created = new Sireler(ThreadState::Current()); }));
  HRESULT status = created->Call([&] { created->poster_.Initialize(); });
  if (SUCCEEDED(status)) status = created->QueryInterface(iid, object);
  created->Release();
  return status;
}

// IUnknown

HRESULT Sireler::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this, kInterfaces, iid, object);
}

ULONG Sireler::AddRef() { return references_.Increment(); }

// IDispatch

HRESULT Sireler::GetTypeInfoCount(UINT* count) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT Sireler::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return ReportDispatchFailure(DISP_E_BADINDEX);
  const TypeLibrary* library = nullptr;
  const HRESULT status = TypeLibrary::Get(&library);
  if (FAILED(status)) return ReportDispatchFailure(status);
  *info = library->classInterface();
  (*info)->AddRef();
  return S_OK;
}

HRESULT Sireler::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (!IsEqualIID(iid, IID_NULL)) return ReportDispatchFailure(DISP_E_UNKNOWNINTERFACE);
  if (names == nullptr || ids == nullptr) return E_POINTER;
  const TypeLibrary* library = nullptr;
  HRESULT status = TypeLibrary::Get(&library);
  if (FAILED(status)) return ReportDispatchFailure(status);
  // The type library looks names up without regard to case, parameter names included.
  status = library->classInterface()->GetIDsOfNames(names, count, ids);
  return FAILED(status) ? ReportDispatchFailure(status) : status;
}

HRESULT Sireler::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (!IsEqualIID(iid, IID_NULL)) return ReportDispatchFailure(DISP_E_UNKNOWNINTERFACE);
  // Held from the start: converting an argument runs client code (a VT_DISPATCH argument's
  // default member), which may release the client's last reference to this object.
  const Microsoft::WRL::ComPtr<_Sireler> held(this);
  const TypeLibrary* library = nullptr;
  HRESULT status = TypeLibrary::Get(&library);
  if (FAILED(status)) return ReportDispatchFailure(status);
  const DispatchMember* member = library->Find(id, flags);
  if (member == nullptr) return ReportDispatchFailure(DISP_E_MEMBERNOTFOUND);

  DISPPARAMS none{};
  DispatchCall call;
  status = call.Prepare(*member, params != nullptr ? *params : none, lcid, argumentError);
  if (FAILED(status)) return ReportDispatchFailure(status);

  status = library->classInterface()->Invoke(static_cast<_Sireler*>(this), id,
                                              static_cast<WORD>(member->kind), call.params(),
                                              result, exception, argumentError);
  return ExceptionFromMemberFailure(status, exception);
}

// _Sireler

HRESULT Sireler::get_MinPriority(LONG* value) {
  return Call([&] { *Required(value) = poster_.MinPriority(); });
}

HRESULT Sireler::put_MinPriority(LONG* value) {
  return Call([&] { poster_.SetMinPriority(*Required(value)); });
}

HRESULT Sireler::get_MaxPriority(LONG* value) {
  return Call([&] { *Required(value) = poster_.MaxPriority(); });
}

HRESULT Sireler::put_MaxPriority(LONG* value) {
  return Call([&] { poster_.SetMaxPriority(*Required(value)); });
}

HRESULT Sireler::get_Top(float* value) {
  return Call([&] { *Required(value) = poster_.Top(); });
}

HRESULT Sireler::get_Left(float* value) {
  return Call([&] { *Required(value) = poster_.Left(); });
}

HRESULT Sireler::get_hwnd(LONG* value) {
  return Call([&] { *Required(value) = poster_.Hwnd(); });
}

HRESULT Sireler::get_Caption(BSTR* value) {
  return Call([&] {
    *Required(value) = nullptr;
    *value = ToBstr(poster_.Caption());
  });
}

HRESULT Sireler::put_Caption(BSTR* value) {
  return Call([&] { poster_.SetCaption(FromBstr(*Required(value))); });
}

HRESULT Sireler::get_LastMessage(BSTR* value) {
  return Call([&] {
    *Required(value) = nullptr;
    *value = ToBstr(poster_.LastMessage());
  });
}

HRESULT Sireler::get_ShowCounter(VARIANT_BOOL* value) {
  return Call([&] { *Required(value) = poster_.ShowCounter(); });
}

HRESULT Sireler::put_ShowCounter(VARIANT_BOOL* value) {
  return Call([&] { poster_.SetShowCounter(*Required(value)); });
}

HRESULT Sireler::get_ShowPriority(VARIANT_BOOL* value) {
  return Call([&] { *Required(value) = poster_.ShowPriority(); });
}

HRESULT Sireler::put_ShowPriority(VARIANT_BOOL* value) {
  return Call([&] { poster_.SetShowPriority(*Required(value)); });
}

HRESULT Sireler::get_MaxListCount(LONG* value) {
  return Call([&] { *Required(value) = poster_.MaxListCount(); });
}

HRESULT Sireler::put_MaxListCount(LONG* value) {
  return Call([&] { poster_.SetMaxListCount(*Required(value)); });
}

HRESULT Sireler::get_ReturnFocus(VARIANT_BOOL* value) {
  return Call([&] { *Required(value) = poster_.ReturnFocus(); });
}

HRESULT Sireler::put_ReturnFocus(VARIANT_BOOL* value) {
  return Call([&] { poster_.SetReturnFocus(*Required(value)); });
}

HRESULT Sireler::get_EnableEvents(VARIANT_BOOL* value) {
  return Call([&] { *Required(value) = poster_.EnableEvents(); });
}

HRESULT Sireler::put_EnableEvents(VARIANT_BOOL* value) {
  return Call([&] { poster_.SetEnableEvents(*Required(value)); });
}

HRESULT Sireler::get_Count(LONG* value) {
  return Call([&] { *Required(value) = poster_.Count(); });
}

HRESULT Sireler::get_FormVisible(VARIANT_BOOL* value) {
  return Call([&] { *Required(value) = poster_.FormVisible(); });
}

HRESULT Sireler::put_FormVisible(VARIANT_BOOL* value) {
  return Call([&] { poster_.SetFormVisible(*Required(value)); });
}

HRESULT Sireler::ResetCounter() {
  return Call([&] { poster_.ResetCounter(); });
}

HRESULT Sireler::SetLocation(float* top, float* left) {
  return Call([&] { poster_.SetLocation(*Required(top), *Required(left)); });
}

HRESULT Sireler::DoSirel(BSTR* text, LONG* priority) {
  return Call([&] { poster_.DoSirel(FromBstr(*Required(text)), *Required(priority)); });
}

HRESULT Sireler::ClearList() {
  return Call([&] { poster_.ClearList(); });
}

HRESULT Sireler::SetParentWindow(VARIANT* window) {
  return Call([&] { poster_.SetParentWindow(WindowArgumentFromVariant(*Required(window))); });
}

HRESULT Sireler::DeleteSelectedMessages() {
  return Call([&] { poster_.DeleteSelectedMessages(); });
}

// IConnectionPointContainer

HRESULT Sireler::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  return ConnectionPointEnumerator::Create(&connection_point_, affinity_, points);
}

HRESULT Sireler::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, DIID___Sireler)) return CONNECT_E_NOCONNECTION;
  *point = &connection_point_;
  (*point)->AddRef();
  return S_OK;
}

// ISupportErrorInfo

HRESULT Sireler::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID__Sireler) || IsEqualIID(iid, IID_IDispatch) ? S_OK : S_FALSE;
}

// IProvideClassInfo2

HRESULT Sireler::GetClassInfo(ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  const TypeLibrary* library = nullptr;
  SIREL_RETURN_IF_FAILED(TypeLibrary::Get(&library));
  *info = library->coclass();
  (*info)->AddRef();
  return S_OK;
}

HRESULT Sireler::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID___Sireler;
  return S_OK;
}

}  // namespace sirel::automation
