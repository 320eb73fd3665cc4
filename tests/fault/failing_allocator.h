// Test builds only (CMake option SIREL_FAULT_INJECTION, never the release): the module that
// links failing_allocator.cpp gets an operator new that counts its allocations once armed and
// makes the n-th one fail, as an exhausted heap would: the throwing forms throw std::bad_alloc,
// the nothrow forms return null. Memory is still malloc's, so sanitizers see every block.
#pragma once

namespace sirel::fault {

// From now on, the n-th allocation (n >= 1) fails; the count starts at 0.
void Arm(long n) noexcept;
// Stops counting and failing; true when the armed allocation did fail.
bool Disarm() noexcept;
// Blocks allocated and not yet freed, whether armed or not.
long LiveBlocks() noexcept;

}  // namespace sirel::fault
