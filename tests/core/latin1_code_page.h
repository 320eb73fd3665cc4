// A test double for the ANSI code page: a single-byte code page holding exactly the characters
// below 256, like Latin-1, so that the tests know which texts fit it.
#pragma once

#include <optional>
#include <string>

#include "platform/ansi_code_page.h"

namespace sirel {

class Latin1CodePage final : public AnsiCodePage {
 public:
  std::optional<std::string> Encode(const std::u16string& text) override {
    std::string out;
    for (char16_t c : text) {
      if (c > 0xFF) return std::nullopt;
      out += static_cast<char>(c);
    }
    return out;
  }
};

}  // namespace sirel
