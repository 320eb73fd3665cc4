// The find of the message window: which line of the list holds a text, without regard to case.
// It reads the list itself (the list is the only store of the lines) and changes nothing.
//
// FindLine(list, folding, text, from, direction) looks at line `from` first, then at the lines
// after it (toward the newest, kForward) or before it (kBackward), wrapping at the ends, until
// every line has been looked at once; it returns the first line whose text contains `text`,
// or kNoLine. A `from` outside the list starts at the first line (kForward) or the last
// (kBackward). An empty text, or an empty list, finds nothing.
//
// What the window asks: as the person types, from the line found last (else the first line in
// view), forward, so that a longer text keeps the line while it still matches; the next match
// from the found line + 1 forward, the previous from the found line - 1 backward.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message_list.h"
#include "platform/text_folding.h"

namespace sirel {

enum class FindDirection { kForward, kBackward };

inline constexpr std::int16_t kNoLine = -1;

std::int16_t FindLine(const MessageList& list, const TextFolding& folding, std::u16string_view text,
                      std::int16_t from, FindDirection direction);

}  // namespace sirel
