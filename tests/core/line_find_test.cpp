// The find's rules over a list of lines: start point, direction, wrap, case, no match.
#include "window/line_find.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/ascii_text_folding.h"
#include "platform/memory/memory_message_list.h"

namespace sirel {
namespace {

TEST(LineFindTest, FindsFromTheStartLineInEitherDirectionAndWraps) {
  MemoryMessageList list;
  for (const char16_t* line : {u"boot", u"Timeout on A", u"ok", u"TIMEOUT on B", u"done"}) {
    list.AddItem(line);
  }
  list.AddItem(std::u16string(u"nul\0TimeOut", 11));  // a NUL before the match hides nothing
  const AsciiTextFolding folding;
  constexpr FindDirection kForward = FindDirection::kForward;
  constexpr FindDirection kBackward = FindDirection::kBackward;
  struct Case {
    const char16_t* text;
    std::int16_t from;
    FindDirection direction;
    std::int16_t expected;
  };
  const Case cases[] = {
      {u"timeout", 0, kForward, 1},      // case disregarded
      {u"timeout", 1, kForward, 1},      // the start line itself is looked at first
      {u"timeout", 2, kForward, 3},
      {u"timeout", 4, kForward, 5},      // past the NUL of line 5
      {u"timeout", 0, kBackward, 5},     // backward from the first wraps to the newest
      {u"timeout", 4, kBackward, 3},
      {u"boot", 3, kForward, 0},         // forward from the middle wraps to the first
      {u"on b", -1, kForward, 3},        // a start outside the list: the first line forward
      {u"boot", 99, kBackward, 0},       // ... and the last line backward
      {u"missing", 2, kForward, kNoLine},
      {u"missing", 2, kBackward, kNoLine},
      {u"", 0, kForward, kNoLine},       // an empty text finds nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "from " << c.from << (c.direction == kForward ? " fwd" : " back"));
    EXPECT_EQ(FindLine(list, folding, c.text, c.from, c.direction), c.expected);
  }
  MemoryMessageList empty;
  EXPECT_EQ(FindLine(empty, folding, u"a", 0, kForward), kNoLine);
}

}  // namespace
}  // namespace sirel
