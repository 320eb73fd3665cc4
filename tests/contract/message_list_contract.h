// The contract tests of the MessageList port (platform/message_list.h), written once and run
// against every implementation. An implementation supplies a ListUnderTest adapter and a factory
// that makes a fresh, empty list, then instantiates the suite in its own test program:
//
//   std::unique_ptr<sirel::testing_contract::ListUnderTest> MakeMemoryList();
//   INSTANTIATE_TEST_SUITE_P(Memory, MessageListContractTest, ::testing::Values(&MakeMemoryList));
//
// Header-only; include it in exactly one source file of a test program.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "platform/message_list.h"
#include "support/thrown_code.h"
#include "core/vb_types.h"

namespace sirel::testing_contract {

// What the suite needs of a list beyond the port: a way to select lines as the user does, and
// the current line, which the port's callers never read but the contract still fixes.
class ListUnderTest {
 public:
  virtual ~ListUnderTest() = default;
  virtual MessageList& list() = 0;
  // Sets one line's selected flag as a Ctrl+click would, keeping every other line's flag.
  virtual void SelectLikeUser(std::int16_t index, bool selected) = 0;
  // The current line, or -1.
  virtual std::int16_t CurrentIndex() = 0;
};

using ListFactory = std::unique_ptr<ListUnderTest> (*)();

// Everything observable about a list, for comparing a list before and after an operation or
// with a twin that reached the same state another way.
struct ListSnapshot {
  std::vector<std::u16string> lines;
  std::vector<VBool> selected;
  std::int16_t sel_count = 0;
  std::int16_t current = -1;

  bool operator==(const ListSnapshot& other) const {
    return lines == other.lines && selected == other.selected && sel_count == other.sel_count &&
           current == other.current;
  }
};

inline void PrintTo(const ListSnapshot& snapshot, std::ostream* out) {
  *out << "{" << snapshot.lines.size() << " lines, SelCount " << snapshot.sel_count << ", current "
       << snapshot.current << ", selected at:";
  for (std::size_t i = 0; i < snapshot.selected.size(); ++i) {
    if (snapshot.selected[i] != kFalse) *out << " " << i;
  }
  *out << "}";
}

inline ListSnapshot TakeSnapshot(ListUnderTest& subject) {
  MessageList& list = subject.list();
  ListSnapshot snapshot;
  for (std::int16_t i = 0; i < list.ListCount(); ++i) {
    snapshot.lines.push_back(list.LineText(i));
    snapshot.selected.push_back(list.Selected(i));
  }
  snapshot.sel_count = list.SelCount();
  snapshot.current = subject.CurrentIndex();
  return snapshot;
}

using test_support::ThrownCode;

class MessageListContractTest : public ::testing::TestWithParam<ListFactory> {
 protected:
  std::unique_ptr<ListUnderTest> MakeList() { return GetParam()(); }

  std::unique_ptr<ListUnderTest> MakeListWith(const std::vector<std::u16string>& lines) {
    auto subject = MakeList();
    for (const auto& line : lines) subject->list().AddItem(line);
    return subject;
  }

  static std::u16string Numbered(int n) {
    std::u16string text = u"line ";
    for (char c : std::to_string(n)) text.push_back(static_cast<char16_t>(c));
    return text;
  }
};

TEST_P(MessageListContractTest, NewListIsEmpty) {
  auto subject = MakeList();
  MessageList& list = subject->list();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.SelCount(), 0);
  EXPECT_EQ(list.LineText(-1), u"");
  EXPECT_EQ(subject->CurrentIndex(), -1);
}

TEST_P(MessageListContractTest, AddItemAppendsUnselectedAndKeepsTheRest) {
  auto subject = MakeListWith({u"A", u"B"});
  MessageList& list = subject->list();
  list.SelectOnly(0);
  subject->SelectLikeUser(1, true);
  const ListSnapshot before = TakeSnapshot(*subject);

  list.AddItem(u"C");

  ListSnapshot expected = before;
  expected.lines.push_back(u"C");
  expected.selected.push_back(kFalse);
  EXPECT_EQ(TakeSnapshot(*subject), expected);
  EXPECT_EQ(list.LineText(2), u"C");
}

TEST_P(MessageListContractTest, RemoveItemMovesLaterLinesWithTheirFlags) {
  auto subject = MakeListWith({u"A", u"B", u"C", u"D"});
  MessageList& list = subject->list();
  subject->SelectLikeUser(2, true);

  list.RemoveItem(0);

  ASSERT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.LineText(0), u"B");
  EXPECT_EQ(list.LineText(1), u"C");
  EXPECT_EQ(list.LineText(2), u"D");
  EXPECT_EQ(list.Selected(0), kFalse);
  EXPECT_EQ(list.Selected(1), kTrue);
  EXPECT_EQ(list.Selected(2), kFalse);
  EXPECT_EQ(list.SelCount(), 1);

  list.RemoveItem(1);  // the selected line itself
  EXPECT_EQ(list.ListCount(), 2);
  EXPECT_EQ(list.SelCount(), 0);
  EXPECT_EQ(list.LineText(1), u"D");
}

// What a posting does when its append fails after trimming: the removed line goes back.
TEST_P(MessageListContractTest, InsertItemUndoesARemoval) {
  for (const std::int16_t index : {0, 3}) {  // never the current line (1 or 2)
    SCOPED_TRACE(index);
    auto subject = MakeListWith({u"A", u"B", u"C", u"D"});
    MessageList& list = subject->list();
    list.SelectOnly(2);
    subject->SelectLikeUser(1, true);
    const ListSnapshot before = TakeSnapshot(*subject);
    const std::u16string text = list.LineText(index);
    const VBool selected = list.Selected(index);

    list.RemoveItem(index);
    list.InsertItem(index, text, selected);

    EXPECT_EQ(TakeSnapshot(*subject), before);
  }
  auto subject = MakeListWith({u"A"});
  EXPECT_EQ(ThrownCode([&] { subject->list().InsertItem(2, u"X", kFalse); }),
            ErrorCode::InvalidIndex);
  EXPECT_EQ(subject->list().ListCount(), 1);
}

TEST_P(MessageListContractTest, ClearEmptiesListAndSelection) {
  auto subject = MakeListWith({u"A", u"B", u"C"});
  MessageList& list = subject->list();
  list.SelectOnly(1);
  subject->SelectLikeUser(2, true);

  list.Clear();

  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.SelCount(), 0);
  EXPECT_EQ(subject->CurrentIndex(), -1);
  list.AddItem(u"again");
  EXPECT_EQ(list.Selected(0), kFalse);
  EXPECT_EQ(list.SelCount(), 0);
}

TEST_P(MessageListContractTest, InvalidIndexThrowsAndChangesNothing) {
  struct Case {
    const char* name;
    std::function<void(MessageList&)> operation;
  };
  const Case cases[] = {
      {"RemoveItem(-1)", [](MessageList& l) { l.RemoveItem(-1); }},
      {"RemoveItem(count)", [](MessageList& l) { l.RemoveItem(3); }},
      {"RemoveItem(max)", [](MessageList& l) { l.RemoveItem(32767); }},
      {"RemoveItem(min)", [](MessageList& l) { l.RemoveItem(-32768); }},
      {"Selected(-1)", [](MessageList& l) { l.Selected(-1); }},
      {"Selected(count)", [](MessageList& l) { l.Selected(3); }},
      {"SelectOnly(-1)", [](MessageList& l) { l.SelectOnly(-1); }},
      {"SelectOnly(count)", [](MessageList& l) { l.SelectOnly(3); }},
      {"SelectOnly(min)", [](MessageList& l) { l.SelectOnly(-32768); }},
      {"LineText(-2)", [](MessageList& l) { l.LineText(-2); }},
      {"LineText(count)", [](MessageList& l) { l.LineText(3); }},
      {"LineText(max)", [](MessageList& l) { l.LineText(32767); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto subject = MakeListWith({u"A", u"B", u"C"});
    subject->list().SelectOnly(1);
    subject->SelectLikeUser(2, true);
    const ListSnapshot before = TakeSnapshot(*subject);

    EXPECT_EQ(ThrownCode([&] { c.operation(subject->list()); }), ErrorCode::InvalidIndex);
    EXPECT_EQ(TakeSnapshot(*subject), before);
  }
}

TEST_P(MessageListContractTest, InvalidIndexOnEmptyListThrows) {
  auto subject = MakeList();
  MessageList& list = subject->list();
  EXPECT_EQ(ThrownCode([&] { list.RemoveItem(0); }), ErrorCode::InvalidIndex);
  EXPECT_EQ(ThrownCode([&] { list.Selected(0); }), ErrorCode::InvalidIndex);
  EXPECT_EQ(ThrownCode([&] { list.SelectOnly(0); }), ErrorCode::InvalidIndex);
  EXPECT_EQ(ThrownCode([&] { list.LineText(0); }), ErrorCode::InvalidIndex);
  EXPECT_EQ(list.ListCount(), 0);
}

TEST_P(MessageListContractTest, SelectOnlyLeavesThatLineTheOnlySelectedAndCurrent) {
  auto subject = MakeListWith({u"A", u"B", u"C", u"D"});
  MessageList& list = subject->list();
  subject->SelectLikeUser(0, true);
  subject->SelectLikeUser(2, true);

  list.SelectOnly(3);

  EXPECT_EQ(subject->CurrentIndex(), 3);
  EXPECT_EQ(list.SelCount(), 1);
  const VBool expected[] = {kFalse, kFalse, kFalse, kTrue};
  for (std::int16_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list.Selected(i), expected[i]);
  }

  list.SelectOnly(3);  // again: still exactly one selected line
  EXPECT_EQ(list.SelCount(), 1);
  EXPECT_EQ(list.Selected(3), kTrue);
}

TEST_P(MessageListContractTest, RemoveSelectedEqualsBackwardRemovalOneByOne) {
  struct Case {
    const char* name;
    int lines;
    std::vector<std::int16_t> selected;
    std::int16_t current;  // made current (alone selected) before the selection, or -1
  };
  const Case cases[] = {
      {"nothing selected", 5, {}, -1},
      {"lines 1 and 3 of 5", 5, {1, 3}, -1},
      {"first line", 5, {0}, -1},
      {"last line", 5, {4}, 4},
      {"every line", 5, {0, 1, 2, 3, 4}, 2},
      {"every other line", 9, {0, 2, 4, 6, 8}, 3},
      {"a run in the middle", 8, {2, 3, 4, 5}, 6},
      {"current line among the removed", 6, {1, 2, 3}, 2},
      {"current line last and removed", 6, {4, 5}, 5},
      {"single-line list", 1, {0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto subject = MakeList();
    auto twin = MakeList();
    for (ListUnderTest* l : {subject.get(), twin.get()}) {
      for (int i = 0; i < c.lines; ++i) l->list().AddItem(Numbered(i));
      if (c.current >= 0) l->list().SelectOnly(c.current);
      for (std::int16_t index : c.selected) l->SelectLikeUser(index, true);
    }
    ASSERT_EQ(TakeSnapshot(*subject), TakeSnapshot(*twin));

    subject->list().RemoveSelected();
    MessageList& reference = twin->list();
    for (std::int16_t i = static_cast<std::int16_t>(reference.ListCount() - 1); i >= 0; --i) {
      if (reference.Selected(i) == kTrue) reference.RemoveItem(i);
    }

    EXPECT_EQ(TakeSnapshot(*subject), TakeSnapshot(*twin));
    EXPECT_EQ(subject->list().SelCount(), 0);
  }
}

TEST_P(MessageListContractTest, KeepsUtf16TextExactly) {
  const std::vector<std::u16string> texts = {
      u"",
      u"plain",
      u"caf\u00e9 \u00fcber \u0416\u0438\u0437\u043d\u044c \u4e2d\u6587 \u20ac",
      u"astral \U0001F600 \U00010348",
      u"first\r\nsecond",
      u"cr\ronly lf\nonly",
      u"tab\there",
      u"  leading and trailing  ",
      std::u16string(2000, u'\u00e9'),
  };
  auto subject = MakeListWith(texts);
  MessageList& list = subject->list();
  ASSERT_EQ(list.ListCount(), static_cast<std::int16_t>(texts.size()));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list.LineText(static_cast<std::int16_t>(i)), texts[i]);
  }
}

TEST_P(MessageListContractTest, FullListRefusesAddItemAndKeepsEveryLine) {
  auto subject = MakeList();
  MessageList& list = subject->list();
  for (int i = 0; i < MessageList::kMaxLines; ++i) list.AddItem(Numbered(i));
  ASSERT_EQ(list.ListCount(), MessageList::kMaxLines);
  list.SelectOnly(MessageList::kMaxLines - 1);

  EXPECT_EQ(ThrownCode([&] { list.AddItem(u"one too many"); }), ErrorCode::ListFull);

  ASSERT_EQ(list.ListCount(), MessageList::kMaxLines);
  EXPECT_EQ(list.SelCount(), 1);
  EXPECT_EQ(list.Selected(MessageList::kMaxLines - 1), kTrue);
  EXPECT_EQ(subject->CurrentIndex(), MessageList::kMaxLines - 1);
  int mismatches = 0;
  for (std::int16_t i = 0; i < MessageList::kMaxLines; ++i) {
    if (list.LineText(i) != Numbered(i)) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0);

  // Room again after one removal.
  list.RemoveItem(0);
  list.AddItem(u"fits");
  EXPECT_EQ(list.LineText(MessageList::kMaxLines - 1), u"fits");
}

}  // namespace sirel::testing_contract

// The instantiation line above names the suite without qualification.
using sirel::testing_contract::MessageListContractTest;
