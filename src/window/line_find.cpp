#include "window/line_find.h"

#include <string>

namespace sirel {

std::int16_t FindLine(const MessageList& list, const TextFolding& folding, std::u16string_view text,
                      std::int16_t from, FindDirection direction) {
  const std::int32_t count = list.ListCount();
  if (text.empty() || count <= 0) return kNoLine;
  const bool forward = direction == FindDirection::kForward;
  std::int32_t index = from;
  if (index < 0 || index >= count) index = forward ? 0 : count - 1;
  const std::u16string needle = folding.Fold(text);
  for (std::int32_t looked = 0; looked < count; ++looked) {
    const auto line = static_cast<std::int16_t>(index);
    if (folding.Fold(list.LineText(line)).find(needle) != std::u16string::npos) return line;
    index = forward ? (index + 1 == count ? 0 : index + 1) : (index == 0 ? count - 1 : index - 1);
  }
  return kNoLine;
}

}  // namespace sirel
