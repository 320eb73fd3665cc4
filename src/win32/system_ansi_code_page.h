// The ANSI code-page port on WideCharToMultiByte with the system's code page (CP_ACP). A
// character without an exact counterpart (one that would become the default character or a
// best-fit look-alike) makes Encode report that the text does not fit.
#pragma once

#include "platform/ansi_code_page.h"

namespace sirel::win32 {

class SystemAnsiCodePage final : public AnsiCodePage {
 public:
  std::optional<std::string> Encode(const std::u16string& text) override;
};

}  // namespace sirel::win32
