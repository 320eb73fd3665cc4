// Small building blocks shared by the library's COM classes: a table-driven QueryInterface and
// a thread-safe reference count.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <cstddef>

namespace sirel::automation {

// One row of a class's interface table: the IID and how to reach that interface of the object.
template <class Object>
struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*cast)(Object* object);
};

// The cast of a table row: Object to its Interface base, as IUnknown.
template <class Object, class Interface>
IUnknown* AsInterface(Object* object) {
  return static_cast<Interface*>(object);
}

// Walks the table; the first row's interface also answers IID_IUnknown (the object's identity).
template <class Object, std::size_t N>
HRESULT QueryInterfaceFromTable(Object* object, const InterfaceEntry<Object> (&table)[N],
                                REFIID iid, void** result) {
  if (result == nullptr) return E_POINTER;
  for (const InterfaceEntry<Object>& entry : table) {
    if (IsEqualIID(*entry.iid, iid) || (&entry == &table[0] && IsEqualIID(iid, IID_IUnknown))) {
      IUnknown* found = entry.cast(object);
      found->AddRef();
      *result = found;
      return S_OK;
    }
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

class ReferenceCount {
 public:
  ULONG Increment() { return ++count_; }
  ULONG Decrement() { return --count_; }

 private:
  std::atomic<ULONG> count_{1};
};

}  // namespace sirel::automation
