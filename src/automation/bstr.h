// BSTR helpers: conversions between automation strings and the core's UTF-16 strings (both are
// UTF-16 on Windows, so nothing is lost). win32/unique_resource.h holds a BSTR that must be freed.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

#include "win32/text_conversion.h"

namespace sirel::automation {

// A null BSTR is the empty string.
inline std::u16string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return win32::FromWide(text, SysStringLen(text));
}

// A new BSTR holding the text; throws std::bad_alloc when it cannot be allocated.
inline BSTR ToBstr(const std::u16string& text) {
  BSTR result = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

}  // namespace sirel::automation
