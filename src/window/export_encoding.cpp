#include "window/export_encoding.h"

#include <cstddef>
#include <optional>
#include <utility>

namespace sirel {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Writes the UTF-8 of one code point at out and returns the position after it.
char* PutUtf8(char* out, char32_t cp) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

}  // namespace

std::string ToUtf8(const std::u16string& text) {
  // The exact size first, so that the bytes are written once into a string of that size.
  std::size_t size = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      size += 1;
    } else if (c < 0x800) {
      size += 2;
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      size += 4;
      ++i;
    } else {
      size += 3;  // the rest of the first plane, and a lone surrogate's U+FFFD
    }
  }
  std::string out(size, '\0');
  char* at = out.data();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      *at++ = static_cast<char>(c);
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t high = c - 0xD800u;
      const char32_t low = text[i + 1] - 0xDC00u;
      at = PutUtf8(at, 0x10000u + (high << 10) + low);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      at = PutUtf8(at, kReplacementCharacter);
    } else {
      at = PutUtf8(at, c);
    }
  }
  return out;
}

ExportBytes EncodeExportText(const std::u16string& text, AnsiCodePage& ansi) {
  std::optional<std::string> narrow = ansi.Encode(text);
  if (narrow) return {ExportEncoding::Ansi, std::move(*narrow)};
  return {ExportEncoding::Utf8WithBom, kUtf8Bom + ToUtf8(text)};
}

}  // namespace sirel
