#include "platform/win32/win32_ansi_code_page.h"

#include <windows.h>

#include <climits>

namespace sirel::win32 {

std::optional<std::string> Win32AnsiCodePage::Encode(const std::u16string& text) {
  if (text.empty()) return std::string();
  // Beyond an int's range WideCharToMultiByte cannot take the text in one call; UTF-8 can.
  if (text.size() > static_cast<std::size_t>(INT_MAX / 4)) return std::nullopt;

  const UINT codePage = GetACP();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // With UTF-8 as the ANSI code page only an unpaired surrogate does not fit, and the
  // default-character report is not available there.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;

  const int size =
      WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, flags, wide, length, bytes.data(), size, nullptr,
                          usedDefaultOut) != size) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace sirel::win32
