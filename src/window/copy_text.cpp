#include "window/copy_text.h"

namespace sirel {

namespace {

constexpr char16_t kLineEnd[] = u"\r\n";

template <class Take>
std::u16string LinesText(const MessageList& list, Take take) {
  std::u16string text;
  const std::int16_t count = list.ListCount();
  for (std::int16_t i = 0; i < count; ++i) {
    if (!take(i)) continue;
    text += list.List(i);
    text += kLineEnd;
  }
  return text;
}

}  // namespace

std::u16string SelectedLinesText(const MessageList& list) {
  return LinesText(list, [&list](std::int16_t i) { return IsExactlyTrue(list.Selected(i)); });
}

std::u16string AllLinesText(const MessageList& list) {
  return LinesText(list, [](std::int16_t) { return true; });
}

}  // namespace sirel
