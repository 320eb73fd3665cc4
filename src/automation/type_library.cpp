#include "type_library.h"

#include <oleauto.h>

#include <atomic>

#include "Sirel_h.h"
#include "module.h"
#include "win32/unique_resource.h"

namespace sirel::automation {

namespace {

bool Matches(const DispatchMember& member, WORD flags) {
  if (flags & DISPATCH_PROPERTYPUT) {
    if (member.kind == INVOKE_PROPERTYPUT) return true;
  }
  if (flags & DISPATCH_PROPERTYPUTREF) {
    if (member.kind == INVOKE_PROPERTYPUTREF) return true;
  }
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return false;
  if ((flags & DISPATCH_METHOD) && member.kind == INVOKE_FUNC) return true;
  if ((flags & DISPATCH_PROPERTYGET) && member.kind == INVOKE_PROPERTYGET) return true;
  return false;
}

}  // namespace

HRESULT TypeLibrary::Get(const TypeLibrary** library) noexcept {
  // Loaded by the first caller; a load that fails (out of memory, say) is tried again by the
  // next one rather than remembered.
  static TypeLibrary instance;
  static SRWLOCK lock = SRWLOCK_INIT;
  static std::atomic<bool> loaded{false};
  *library = nullptr;
  if (!loaded.load(std::memory_order_acquire)) {
    const win32::ExclusiveLock held(lock);
    if (!loaded.load(std::memory_order_relaxed)) {
      const HRESULT status = instance.Load();
      if (FAILED(status)) {
        instance.Unload();
        return status;
      }
      loaded.store(true, std::memory_order_release);
    }
  }
  *library = &instance;
  return S_OK;
}

void TypeLibrary::Unload() noexcept {
  for (DispatchMember& member : members_) {
    for (DispatchParam& param : member.params) {
      if (param.hasDefault) VariantClear(&param.defaultValue);
    }
  }
  members_.clear();
  coclass_.Reset();
  class_interface_.Reset();
  library_.Reset();
}

HRESULT TypeLibrary::Load() noexcept {
  try {
    return LoadOrThrow();
  } catch (...) {
    return E_OUTOFMEMORY;  // the only exception here is an allocation's
  }
}

HRESULT TypeLibrary::LoadOrThrow() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  SIREL_RETURN_IF_FAILED(
      LoadTypeLibEx(path.c_str(), REGKIND_NONE, library_.ReleaseAndGetAddressOf()));
  SIREL_RETURN_IF_FAILED(
      library_->GetTypeInfoOfGuid(IID__Sireler, class_interface_.ReleaseAndGetAddressOf()));
  SIREL_RETURN_IF_FAILED(
      library_->GetTypeInfoOfGuid(CLSID_Sireler, coclass_.ReleaseAndGetAddressOf()));
  return ReadMembers();
}

HRESULT TypeLibrary::ReadMembers() {
  WORD count = 0;
  {
    win32::UniqueTypeAttr attributes(class_interface_.Get());
    SIREL_RETURN_IF_FAILED(class_interface_->GetTypeAttr(attributes.put()));
    count = attributes->cFuncs;
  }

  for (UINT i = 0; i < count; ++i) {
    win32::UniqueFuncDesc desc(class_interface_.Get());
    SIREL_RETURN_IF_FAILED(class_interface_->GetFuncDesc(i, desc.put()));
    // The inherited IUnknown and IDispatch functions are restricted: not callable by dispatch.
    if (desc->wFuncFlags & FUNCFLAG_FRESTRICTED) continue;

    DispatchMember member;
    member.id = desc->memid;
    member.kind = desc->invkind;
    for (SHORT p = 0; p < desc->cParams; ++p) {
      const ELEMDESC& element = desc->lprgelemdescParam[p];
      const USHORT flags = element.paramdesc.wParamFlags;
      if (flags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) continue;
      if (member.paramCount == kMaxDispatchParams) return TYPE_E_UNSUPFORMAT;
      DispatchParam& param = member.params[member.paramCount++];
      const TYPEDESC* type = &element.tdesc;
      if (type->vt == VT_PTR) {
        param.byReference = true;
        type = type->lptdesc;
      }
      param.type = type->vt;
      if ((flags & PARAMFLAG_FHASDEFAULT) && element.paramdesc.pparamdescex != nullptr) {
        param.hasDefault = true;
        VariantInit(&param.defaultValue);
        SIREL_RETURN_IF_FAILED(
            VariantCopy(&param.defaultValue, &element.paramdesc.pparamdescex->varDefaultValue));
      }
    }
    members_.push_back(member);
  }
  return S_OK;
}

const DispatchMember* TypeLibrary::Find(DISPID id, WORD flags) const {
  for (const DispatchMember& member : members_) {
    if (member.id == id && Matches(member, flags)) return &member;
  }
  return nullptr;
}

}  // namespace sirel::automation
