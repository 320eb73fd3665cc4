// Window handles as the core carries them (32-bit values) and as Win32 uses them. A 64-bit
// HWND holds only 32 significant bits, sign-extended, so the conversions lose nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/vb_types.h"

namespace sirel::win32 {

inline WindowHandle WindowHandleOf(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}

inline HWND HwndOf(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
}

}  // namespace sirel::win32
