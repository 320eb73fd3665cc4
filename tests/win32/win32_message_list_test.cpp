// The LISTBOX list beyond the shared contract: the one-pass removal of many selected lines (the
// contract's cases are small enough to take the one-by-one path), scrolling the current line
// into view, and where the first visible line goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/errors.h"
#include "win32/message_window.h"
#include "win32/platform.h"
#include "support/thrown_code.h"

namespace sirel::win32 {
namespace {

using test_support::ThrownCode;

std::u16string Numbered(int n) {
  std::u16string text = u"line ";
  for (char c : std::to_string(n)) text.push_back(static_cast<char16_t>(c));
  return text;
}

class ListboxListTest : public ::testing::Test {
 protected:
  std::unique_ptr<MessageForm> MakeWindow(int lines) {
    auto window = std::make_unique<MessageForm>(ThisModule());
    window->EnsureLoaded();
    for (int i = 0; i < lines; ++i) window->listBox().AddItem(Numbered(i));
    return window;
  }
  static int TopIndex(ListBoxList& list) {
    return static_cast<int>(SendMessageW(list.hwnd(), LB_GETTOPINDEX, 0, 0));
  }
  static int VisibleRows(ListBoxList& list) {
    RECT client{};
    GetClientRect(list.hwnd(), &client);
    return client.bottom / static_cast<int>(SendMessageW(list.hwnd(), LB_GETITEMHEIGHT, 0, 0));
  }
  struct State {
    std::vector<std::u16string> lines;
    int selected = 0;
    int current = -1;
    bool operator==(const State& o) const {
      return lines == o.lines && selected == o.selected && current == o.current;
    }
  };
  static State StateOf(ListBoxList& list) {
    State state;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
      state.lines.push_back(list.LineText(i));
      if (list.Selected(i) == kTrue) ++state.selected;
    }
    state.current = list.ListIndex();
    return state;
  }
};

TEST_F(ListboxListTest, ManySelectedLinesGoInOnePassLeavingWhatOneByOneLeaves) {
  struct Case {
    const char* name;
    int lines;
    int step;        // every step-th line is selected, from `first`
    int first;
    int current;     // the current line before the selection
  };
  const Case cases[] = {
      {"every other line of 200, current kept", 200, 2, 1, 100},
      {"every other line of 200, current removed", 200, 2, 0, 100},
      {"every third of 300, current the last, removed", 300, 3, 2, 299},
      {"every line of 40", 40, 1, 0, 20},
      {"every other line of a full list", MessageList::kMaxLines, 2, 0, 16000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto subject = MakeWindow(c.lines);
    auto twin = MakeWindow(c.lines);
    for (MessageForm* window : {subject.get(), twin.get()}) {
      ListBoxList& list = window->listBox();
      list.SelectOnly(static_cast<std::int16_t>(c.current));
      for (int i = c.first; i < c.lines; i += c.step) list.SetSelected(static_cast<std::int16_t>(i), true);
    }

    subject->listBox().RemoveSelected();
    ListBoxList& reference = twin->listBox();
    for (int i = reference.ListCount() - 1; i >= 0; --i) {
      if (reference.Selected(static_cast<std::int16_t>(i)) == kTrue) {
        reference.RemoveItem(static_cast<std::int16_t>(i));
      }
    }

    EXPECT_TRUE(StateOf(subject->listBox()) == StateOf(reference));
    EXPECT_EQ(subject->listBox().SelCount(), 0);
    EXPECT_EQ(subject->listBox().ListCount(), reference.ListCount());
  }
}

TEST_F(ListboxListTest, FirstVisibleLineStaysAfterTheOnePassRemoval) {
  auto window = MakeWindow(100);
  ListBoxList& list = window->listBox();
  for (int i = 0; i < 100; i += 2) list.SetSelected(static_cast<std::int16_t>(i), true);
  SendMessageW(list.hwnd(), LB_SETTOPINDEX, 41, 0);  // line 41 (kept) at the top
  ASSERT_EQ(TopIndex(list), 41);

  list.RemoveSelected();

  EXPECT_EQ(list.LineText(static_cast<std::int16_t>(TopIndex(list))), Numbered(41));
}

TEST_F(ListboxListTest, MakingALineCurrentScrollsItIntoView) {
  auto window = MakeWindow(60);
  ListBoxList& list = window->listBox();
  const int rows = VisibleRows(list);
  ASSERT_LT(rows, 60);

  SendMessageW(list.hwnd(), LB_SETTOPINDEX, 0, 0);
  list.SelectOnly(59);
  EXPECT_LE(TopIndex(list), 59);
  EXPECT_GT(TopIndex(list) + rows, 59) << "the newest line is in view";

  list.SelectOnly(3);
  EXPECT_LE(TopIndex(list), 3);
  EXPECT_GT(TopIndex(list) + rows, 3);

  // Again on the line that is already current, after the user scrolled away from it.
  SendMessageW(list.hwnd(), LB_SETTOPINDEX, 40, 0);
  list.SelectOnly(3);
  EXPECT_LE(TopIndex(list), 3);
}

TEST_F(ListboxListTest, LineStopsAtTheFirstNulCharacter) {
  // A LISTBOX string ends at a NUL; the rest of such a line is not kept.
  auto window = MakeWindow(0);
  window->listBox().AddItem(std::u16string(u"before\0after", 12));
  EXPECT_EQ(window->listBox().LineText(0), u"before");
}

TEST_F(ListboxListTest, ADetachedListRefusesWithAWindowError) {
  ListBoxList list;
  EXPECT_EQ(ThrownCode([&] { list.AddItem(u"nowhere"); }), ErrorCode::WindowOperation);
}

}  // namespace
}  // namespace sirel::win32
