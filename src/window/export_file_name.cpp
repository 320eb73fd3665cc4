#include "window/export_file_name.h"

#include <cstddef>

namespace sirel {

namespace {

constexpr std::u16string_view kTextExtension = u".txt";

char16_t AsciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EndsWithTextExtension(std::u16string_view name) {
  if (name.size() < kTextExtension.size()) return false;
  const std::u16string_view tail = name.substr(name.size() - kTextExtension.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (AsciiLower(tail[i]) != kTextExtension[i]) return false;
  }
  return true;
}

// Only the leading spaces go: the trailing ones are the name's own, shielded by its NUL ("log "
// is a name the dialog can return, and becomes "log .txt").
std::u16string_view WithoutLeadingSpaces(std::u16string_view text) {
  const std::size_t first = text.find_first_not_of(u' ');
  return first == std::u16string_view::npos ? std::u16string_view() : text.substr(first);
}

}  // namespace

SaveFileRequest ExportDialogRequest(WindowHandle owner) {
  SaveFileRequest request;
  request.owner = owner;
  request.title = kExportDialogTitle;
  request.filters = {{u"Text Files (*.txt)", u"*.txt"}, {u"All Files (*.*)", u"*.*"}};
  request.bufferChars = kExportFileBufferChars;
  return request;
}

std::u16string ExportFileNameFromBuffer(std::u16string_view buffer) {
  // The path ends at its NUL; what follows is the unused rest of the buffer.
  const std::size_t nul = buffer.find(u'\0');
  const std::u16string_view name =
      WithoutLeadingSpaces(nul == std::u16string_view::npos ? buffer : buffer.substr(0, nul));
  if (name.empty()) return {};
  std::u16string path(name);
  if (!EndsWithTextExtension(path)) path += kTextExtension;
  return path;
}

std::u16string GetExportFileName(SaveFileDialog& dialog, WindowHandle owner) {
  const std::optional<std::u16string> buffer = dialog.AskFileName(ExportDialogRequest(owner));
  if (!buffer) return {};
  return ExportFileNameFromBuffer(*buffer);
}

}  // namespace sirel
