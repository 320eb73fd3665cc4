#include "connection_point_enumerator.h"

#include <new>

namespace sirel::automation {

namespace {

const InterfaceEntry<ConnectionPointEnumerator> kInterfaces[] = {
    {&IID_IEnumConnectionPoints,
     &AsInterface<ConnectionPointEnumerator, IEnumConnectionPoints>},
};

}  // namespace

HRESULT ConnectionPointEnumerator::Create(IConnectionPoint* point, const ThreadAffinity& affinity,
                                          IEnumConnectionPoints** enumerator) noexcept {
  if (enumerator == nullptr) return E_POINTER;
  *enumerator = new (std::nothrow) ConnectionPointEnumerator(point, affinity, 0);
  return *enumerator != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ConnectionPointEnumerator::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this, kInterfaces, iid, object);
}

ULONG ConnectionPointEnumerator::AddRef() { return references_.Increment(); }

ULONG ConnectionPointEnumerator::Release() {
  const ULONG remaining = references_.Decrement();
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT ConnectionPointEnumerator::Next(ULONG count, IConnectionPoint** points, ULONG* fetched) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (points == nullptr || (fetched == nullptr && count != 1)) return E_POINTER;
  ULONG given = 0;
  if (count > 0 && position_ == 0) {
    points[0] = point_.Get();
    points[0]->AddRef();
    position_ = 1;
    given = 1;
  }
  if (fetched != nullptr) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

HRESULT ConnectionPointEnumerator::Skip(ULONG count) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  const ULONG skipped = (count > 0 && position_ == 0) ? 1 : 0;
  position_ += skipped;
  return skipped == count ? S_OK : S_FALSE;
}

HRESULT ConnectionPointEnumerator::Reset() {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  position_ = 0;
  return S_OK;
}

HRESULT ConnectionPointEnumerator::Clone(IEnumConnectionPoints** enumerator) {
  if (!affinity_.Here()) return RPC_E_WRONG_THREAD;
  if (enumerator == nullptr) return E_POINTER;
  *enumerator = new (std::nothrow) ConnectionPointEnumerator(point_.Get(), affinity_, position_);
  return *enumerator != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace sirel::automation
