#include "window/line_find.h"

#include <string>

namespace sirel {

std::int16_t FindLine(const MessageList& list, const TextFolding& folding, std::u16string_view text,
                      std::int16_t from, FindDirection direction) {
  const std::int16_t count = list.ListCount();
  if (text.empty() || count <= 0) return kNoLine;
  const bool forward = direction == FindDirection::kForward;
  if (from < 0 || from >= count) from = forward ? 0 : static_cast<std::int16_t>(count - 1);
  const std::u16string needle = folding.Fold(text);
  const auto matches = [&](std::int16_t, std::u16string_view line) {
    return folding.Fold(line).find(needle) != std::u16string::npos;
  };
  // From the start line to the end in the direction, then round from the other end.
  const auto end = static_cast<std::int16_t>(forward ? count - 1 : 0);
  const std::int16_t found = list.VisitLines(from, end, matches);
  if (found != kNoLine || from == (forward ? 0 : count - 1)) return found;
  return list.VisitLines(forward ? 0 : static_cast<std::int16_t>(count - 1),
                         static_cast<std::int16_t>(forward ? from - 1 : from + 1), matches);
}

}  // namespace sirel
