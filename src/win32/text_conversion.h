// The one place where the shells convert text: the core's UTF-16 strings to the wide strings
// Win32 takes and back (wchar_t is 16-bit on Windows, so nothing is lost), and the UTF-8 of an
// exception's what() to UTF-16.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace sirel::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16");

inline std::wstring ToWide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

inline std::wstring ToWide(const char16_t* text) { return ToWide(std::u16string(text)); }

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(text, text + length);
}

inline std::u16string FromWide(const std::wstring& text) {
  return FromWide(text.data(), text.size());
}

// NUL-terminated UTF-8 as UTF-16; invalid sequences become U+FFFD.
inline std::u16string FromUtf8(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::u16string();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  return FromWide(wide.data(), static_cast<std::size_t>(length) - 1);
}

}  // namespace sirel::win32
