// Small helpers shared by the Win32 ports of the menu commands: window handles and text as the
// core carries them (32-bit handles, UTF-16 strings) turned into their Win32 forms and back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/vb_types.h"

namespace sirel::win32 {

// The handle the core carries as 32 bits; sign-extended, as 64-bit Windows does.
inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
}

// UTF-16 text as a NUL-terminated wide string (wchar_t is 16-bit on Windows).
inline std::wstring ToWide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(text, text + length);
}

}  // namespace sirel::win32
