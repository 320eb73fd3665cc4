// The bytes of the export file. The text (every line followed by CR LF) is written in the
// system's ANSI code page when every character fits it; when any character does not, the whole
// file is written as UTF-8 behind a byte-order mark instead, so no character turns into a
// question mark. One encoding per file: a reader never meets a mix.
#pragma once

#include <string>

#include "platform/ansi_code_page.h"

namespace sirel {

enum class ExportEncoding { Ansi, Utf8WithBom };

struct ExportBytes {
  ExportEncoding encoding;
  std::string bytes;
};

ExportBytes EncodeExportText(const std::u16string& text, AnsiCodePage& ansi);

// UTF-8 of UTF-16 text. A lone surrogate, which UTF-8 cannot carry, becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);

}  // namespace sirel
