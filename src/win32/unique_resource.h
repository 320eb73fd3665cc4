// One way for the shells to hold what the platform hands out, and to pass a failure on:
//   UniqueResource<Traits>  owns one handle and frees it at scope end (moves, never copies);
//                           the aliases below name every kind the shells hold;
//   UniqueVariant           a VARIANT cleared at scope end;
//   UniqueTypeInfoPart<...> a FUNCDESC or TYPEATTR given back to its ITypeInfo at scope end;
//   ExclusiveLock           an SRW lock held for the scope (it cannot fail and allocates nothing);
//   ScopeExit(f)            runs f at scope end (for a call that has no handle, CloseClipboard);
//   SIREL_RETURN_IF_FAILED(hr)    returns hr from the calling function when it is a failure.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <utility>

namespace sirel::win32 {

// Traits: `using Handle = ...;`, `static Handle Invalid()`, `static void Close(Handle)`.
template <class Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Handle owned) noexcept : handle_(owned) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }
  // Frees what is held, for a function that writes a new handle through the pointer.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }
  // Gives up ownership (to the clipboard, to a parent menu, ...).
  Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle owned = Traits::Invalid()) noexcept {
    const Handle old = std::exchange(handle_, owned);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// Traits for a handle whose invalid value is null and that one function frees.
template <class H, auto CloseFunction>
struct NullInvalidTraits {
  using Handle = H;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle handle) noexcept { CloseFunction(handle); }
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) noexcept { CloseHandle(handle); }
};

using UniqueWindow = UniqueResource<NullInvalidTraits<HWND, &DestroyWindow>>;
using UniqueMenu = UniqueResource<NullInvalidTraits<HMENU, &DestroyMenu>>;
using UniqueHook = UniqueResource<NullInvalidTraits<HHOOK, &UnhookWindowsHookEx>>;
using UniqueRegistryKey = UniqueResource<NullInvalidTraits<HKEY, &RegCloseKey>>;
using UniqueGlobal = UniqueResource<NullInvalidTraits<HGLOBAL, &GlobalFree>>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueBstr = UniqueResource<NullInvalidTraits<BSTR, &SysFreeString>>;

// A VARIANT, empty at first, cleared at scope end.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { VariantInit(&value_); }
  ~UniqueVariant() { VariantClear(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  VARIANT* get() noexcept { return &value_; }
  const VARIANT* get() const noexcept { return &value_; }

 private:
  VARIANT value_;
};

// A part of a type description that its ITypeInfo lent out and takes back (FUNCDESC, TYPEATTR).
template <class Part, void (*Give)(ITypeInfo*, Part*)>
class UniqueTypeInfoPart {
 public:
  explicit UniqueTypeInfoPart(ITypeInfo* owner) noexcept : owner_(owner) {}
  ~UniqueTypeInfoPart() {
    if (part_ != nullptr) Give(owner_, part_);
  }
  UniqueTypeInfoPart(const UniqueTypeInfoPart&) = delete;
  UniqueTypeInfoPart& operator=(const UniqueTypeInfoPart&) = delete;

  Part** put() noexcept { return &part_; }
  const Part* operator->() const noexcept { return part_; }

 private:
  ITypeInfo* owner_;
  Part* part_ = nullptr;
};

inline void GiveBackFuncDesc(ITypeInfo* owner, FUNCDESC* part) { owner->ReleaseFuncDesc(part); }
inline void GiveBackTypeAttr(ITypeInfo* owner, TYPEATTR* part) { owner->ReleaseTypeAttr(part); }
using UniqueFuncDesc = UniqueTypeInfoPart<FUNCDESC, &GiveBackFuncDesc>;
using UniqueTypeAttr = UniqueTypeInfoPart<TYPEATTR, &GiveBackTypeAttr>;

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) {
    AcquireSRWLockExclusive(&lock_);
  }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

// Runs a callable at scope end.
template <class Action>
class [[nodiscard]] ScopeExitAction {
 public:
  explicit ScopeExitAction(Action action) : action_(std::move(action)) {}
  ~ScopeExitAction() { action_(); }
  ScopeExitAction(const ScopeExitAction&) = delete;
  ScopeExitAction& operator=(const ScopeExitAction&) = delete;

 private:
  Action action_;
};

template <class Action>
ScopeExitAction<Action> ScopeExit(Action action) {
  return ScopeExitAction<Action>(std::move(action));
}

}  // namespace sirel::win32

// Evaluates an HRESULT expression once and returns it from the calling function if it failed.
#define SIREL_RETURN_IF_FAILED(expression)                  \
  do {                                                \
    const HRESULT sirel_status_ = (expression);       \
    if (FAILED(sirel_status_)) return sirel_status_;  \
  } while (false)
