#include "window/copy_text.h"

namespace sirel {

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

}  // namespace

std::u16string SelectedLinesText(const MessageList& list) {
  std::u16string text;
  list.AppendLines(text, true, kLineEnd);
  return text;
}

std::u16string AllLinesText(const MessageList& list) {
  std::u16string text;
  list.AppendLines(text, false, kLineEnd);
  return text;
}

}  // namespace sirel
