// Text as the core carries it (UTF-16 strings) in the wide form Win32 takes, and back; shared
// by the Win32 ports of the menu commands.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace sirel::win32 {

// UTF-16 text as a NUL-terminated wide string (wchar_t is 16-bit on Windows).
inline std::wstring ToWide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(text, text + length);
}

}  // namespace sirel::win32
