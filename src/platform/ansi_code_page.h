// The ANSI code-page port: converts text to the system's narrow (ANSI) code page, the encoding
// that plain-text files are written in by default.
//
// Contract: Encode(text) returns the bytes of text in the system's ANSI code page when every
// character has an exact representation there (no replacement character, no best-fit look-
// alike); otherwise std::nullopt, so the caller can choose an encoding that loses nothing.
#pragma once

#include <optional>
#include <string>

namespace sirel {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  virtual std::optional<std::string> Encode(const std::u16string& text) = 0;
};

}  // namespace sirel
