#include "win32/locale_text_folding.h"

#include <windows.h>

#include <climits>

namespace sirel::win32 {

std::u16string LocaleTextFolding::Fold(std::u16string_view text) const {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::u16string(text);
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  constexpr DWORD kFlags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
  // Lower case keeps the length of nearly every text: try the text's own size first.
  std::u16string folded(text.size(), u'\0');
  int written = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, length,
                              reinterpret_cast<wchar_t*>(folded.data()), length, nullptr, nullptr, 0);
  if (written > 0) {
    folded.resize(static_cast<std::size_t>(written));
    return folded;
  }
  const int needed = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, length, nullptr, 0,
                                   nullptr, nullptr, 0);
  if (needed <= 0) return std::u16string(text);
  folded.assign(static_cast<std::size_t>(needed), u'\0');
  written = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, length,
                          reinterpret_cast<wchar_t*>(folded.data()), needed, nullptr, nullptr, 0);
  if (written <= 0) return std::u16string(text);
  folded.resize(static_cast<std::size_t>(written));
  return folded;
}

}  // namespace sirel::win32
