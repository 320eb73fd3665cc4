#include "win32/system_ansi_code_page.h"

#include <windows.h>

#include <climits>

namespace sirel::win32 {

std::optional<std::string> SystemAnsiCodePage::Encode(const std::u16string& text) {
  if (text.empty()) return std::string();
  const UINT codePage = GetACP();
  // With UTF-8 as the ANSI code page only an unpaired surrogate does not fit, and the
  // default-character report is not available there.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;

  // One conversion into a buffer of the largest size the text can take in this code page.
  // Beyond an int's range WideCharToMultiByte cannot take the text in one call; UTF-8 can.
  CPINFO info{};
  const std::size_t maxBytes = GetCPInfo(codePage, &info) ? info.MaxCharSize : 4;
  if (text.size() > static_cast<std::size_t>(INT_MAX) / maxBytes) return std::nullopt;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  std::string bytes(text.size() * maxBytes, '\0');
  const int size = WideCharToMultiByte(codePage, flags, wide, length, bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(size));
  return bytes;
}

}  // namespace sirel::win32
