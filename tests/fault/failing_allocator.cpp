#include "failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace sirel::fault {

namespace {

std::atomic<long> g_countdown{0};  // 0: disarmed; else allocations left before the failing one
std::atomic<bool> g_fired{false};
std::atomic<long> g_live{0};  // blocks allocated and not yet freed

void* Allocate(std::size_t size) noexcept {
  long left = g_countdown.load();
  while (left > 0 && !g_countdown.compare_exchange_weak(left, left - 1)) {
  }
  if (left == 1) {
    g_fired = true;
    return nullptr;
  }
  void* block = std::malloc(size != 0 ? size : 1);
  if (block != nullptr) ++g_live;
  return block;
}

void Free(void* block) noexcept {
  if (block == nullptr) return;
  --g_live;
  std::free(block);
}

}  // namespace

void Arm(long n) noexcept {
  g_fired = false;
  g_countdown = n;
}

bool Disarm() noexcept {
  g_countdown = 0;
  return g_fired.exchange(false);
}

long LiveBlocks() noexcept { return g_live.load(); }

}  // namespace sirel::fault

#ifdef SIREL_FAULT_EXPORTS
// What a test program calls in the DLL built with this allocator (found with GetProcAddress).
extern "C" __declspec(dllexport) void SirelArmAllocationFailure(long n) { sirel::fault::Arm(n); }
extern "C" __declspec(dllexport) int SirelDisarmAllocationFailure() { return sirel::fault::Disarm(); }
extern "C" __declspec(dllexport) long SirelLiveAllocations() { return sirel::fault::LiveBlocks(); }
#endif

void* operator new(std::size_t size) {
  if (void* block = sirel::fault::Allocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* block = sirel::fault::Allocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return sirel::fault::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return sirel::fault::Allocate(size);
}
void operator delete(void* block) noexcept { sirel::fault::Free(block); }
void operator delete[](void* block) noexcept { sirel::fault::Free(block); }
void operator delete(void* block, std::size_t) noexcept { sirel::fault::Free(block); }
void operator delete[](void* block, std::size_t) noexcept { sirel::fault::Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { sirel::fault::Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { sirel::fault::Free(block); }
