// DoSirel: filter, counter, line formats, cancelling, trimming, selection and focus return.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "poster_fixture.h"

namespace sirel {
namespace {

using PosterPostingTest = PosterTest;

TEST_F(PosterPostingTest, FilterIsAnEitherOrTest) {
  struct Case {
    std::int32_t min;
    std::int32_t max;
    std::int32_t priority;
    bool passes;
  };
  const Case cases[] = {
      {0, 9999999, 0, true},
      {0, 9999999, 9999999, true},
      {0, 9999999, 10000000, true},
      {0, 9999999, -5, true},
      {50, 9999999, 3, true},
      {50, 10, 3, true},
      {50, 10, 10, true},
      {50, 10, 11, false},
      {50, 10, 20, false},
      {50, 10, 49, false},
      {50, 10, 50, true},
      {50, 10, 60, true},
      {50, 10, -1, true},
      {50, 0, -2, true},
      {50, 0, 0, true},
      {50, 0, 1, false},
      {2147483647, 0, 2147483646, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "min " << c.min << " max " << c.max << " priority " << c.priority);
    auto poster = MakePoster();
    List().Clear();
    poster->SetMinPriority(c.min);
    poster->SetMaxPriority(c.max);
    sink_->events.clear();

    poster->DoSirel(u"T", c.priority);

    EXPECT_EQ(poster->Counter(), c.passes ? 1 : 0);
    EXPECT_EQ(List().ListCount(), c.passes ? 1 : 0);
    EXPECT_EQ(sink_->events.size(), c.passes ? 2u : 0u);
  }
}

TEST_F(PosterPostingTest, DroppedMessageDoesNotTouchFocus) {
  auto poster = MakePoster();
  poster->SetMinPriority(50);
  poster->SetMaxPriority(10);
  Manager().active = 0x500;
  poster->DoSirel(u"T", 20);
  EXPECT_EQ(poster->SavedActiveWindow(), 0);
  EXPECT_EQ(Manager().set_active_calls, 0);
}

TEST_F(PosterPostingTest, LineFormats) {
  struct Case {
    VBool show_counter;
    VBool show_priority;
    std::int32_t priority;
    std::u16string text;
    std::u16string line;  // the fifth posting's line
  };
  const Case cases[] = {
      {kTrue, kTrue, 3, u"T", u"5: 3: T"},
      {kTrue, kFalse, 3, u"T", u"5: T"},
      {kFalse, kTrue, 3, u"T", u"3: T"},
      {kFalse, kFalse, 3, u"T", u"T"},
      {kTrue, kTrue, -1, u"T", u"5: -1: T"},
      {kFalse, kTrue, -2147483647 - 1, u"x", u"-2147483648: x"},
      {kFalse, kTrue, 0, u"", u"0: "},
      {kTrue, kFalse, 7, u" a\r\nb ", u"5:  a\r\nb "},
      {kFalse, kFalse, 7, u"\u4e2d\U0001F600\u00e9", u"\u4e2d\U0001F600\u00e9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.show_counter << "/" << c.show_priority << " priority " << c.priority);
    auto poster = MakePoster();
    for (int i = 0; i < 4; ++i) poster->DoSirel(u"earlier", 1);
    poster->SetShowCounter(c.show_counter);
    poster->SetShowPriority(c.show_priority);

    poster->DoSirel(c.text, c.priority);

    EXPECT_EQ(poster->LastMessage(), c.line);
    // The events carry the text and priority as passed, not the line.
    ASSERT_FALSE(sink_->events.empty());
    EXPECT_EQ(sink_->events.back().text, c.text);
    EXPECT_EQ(sink_->events.back().first, c.priority);
  }
}

TEST_F(PosterPostingTest, OmittedPriorityIsMinusOneAndPassesAnyBounds) {
  auto poster = MakePoster();
  poster->SetShowCounter(kTrue);
  poster->SetShowPriority(kTrue);
  poster->DoSirel(u"T", 3);
  poster->SetMinPriority(50);
  poster->SetMaxPriority(10);
  poster->DoSirel(u"T");
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"1: 3: T", u"2: -1: T"}));
}

TEST_F(PosterPostingTest, FirstPostingWithDefaults) {
  auto poster = MakePoster();
  poster->DoSirel(u"T", 3);
  EXPECT_EQ(Lines(), std::vector<std::u16string>{u"T"});
  EXPECT_EQ(List().ListIndex(), 0);
  EXPECT_EQ(List().Selected(0), kTrue);
  EXPECT_EQ(poster->Counter(), 1);
  EXPECT_EQ(sink_->Ids(), (std::vector<EventId>{EventId::BeforeSirel, EventId::AfterSirel}));
}

TEST_F(PosterPostingTest, CounterOverflowFailsAndChangesNothing) {
  auto poster = MakePoster();
  poster->DoSirel(u"before", 1);
  PosterTestPeer::SetCounter(*poster, 2147483646);
  poster->SetShowCounter(kTrue);
  poster->DoSirel(u"last", 1);
  EXPECT_EQ(poster->LastMessage(), u"2147483647: last");
  Manager().active = 0x500;
  sink_->events.clear();

  EXPECT_EQ(ThrownCode([&] { poster->DoSirel(u"one more", 1); }), ErrorCode::Overflow);

  EXPECT_EQ(poster->Counter(), 2147483647);
  EXPECT_EQ(List().ListCount(), 2);
  EXPECT_TRUE(sink_->events.empty());
  EXPECT_EQ(poster->SavedActiveWindow(), 0);
  // A dropped message does not reach the counter, so it cannot overflow.
  poster->SetMinPriority(50);
  poster->SetMaxPriority(10);
  poster->DoSirel(u"dropped", 20);
  // After a reset the poster posts again.
  poster->ResetCounter();
  poster->DoSirel(u"again", 1);
  EXPECT_EQ(poster->LastMessage(), u"1: again");
}

TEST_F(PosterPostingTest, SavesTheActiveWindowAndReturnsFocusToIt) {
  struct Case {
    VBool return_focus;
    bool handler;  // a handler moves the focus elsewhere during the posting
    bool returns;
  };
  // Without a handler nothing can move the focus, so there is nothing to give back, and the
  // active window is not even read.
  for (const Case& c : {Case{kTrue, true, true}, Case{kFalse, true, false}, Case{1, true, false},
                        Case{kTrue, false, false}}) {
    SCOPED_TRACE(::testing::Message() << c.return_focus << (c.handler ? " handler" : ""));
    auto poster = MakePoster();
    Manager().active = 0x500;
    Manager().set_active_calls = 0;
    poster->SetReturnFocus(c.return_focus);
    if (!c.handler) poster->SetEnableEvents(kFalse);
    sink_->handler = [&](const EventRecord& e, VBool*) {
      if (e.id == EventId::BeforeSirel) Manager().active = 0x600;
    };

    poster->DoSirel(u"T", 1);

    EXPECT_EQ(poster->SavedActiveWindow(), c.handler ? 0x500 : 0);
    EXPECT_EQ(Manager().set_active_calls, c.returns ? 1 : 0);
    EXPECT_EQ(Manager().active, c.returns || !c.handler ? 0x500 : 0x600);
  }
}

TEST_F(PosterPostingTest, EachPostingOverwritesTheSavedWindow) {
  auto poster = MakePoster();
  Manager().active = 0x500;
  poster->DoSirel(u"T", 1);
  Manager().active = 0;
  poster->DoSirel(u"T", 1);
  EXPECT_EQ(poster->SavedActiveWindow(), 0);
  EXPECT_EQ(Manager().active, 0);  // activating "no window" changes nothing
}

TEST_F(PosterPostingTest, BeforeSirelCancelsOnlyAtMinusOneAndUsesUpTheNumber) {
  struct Case {
    VBool cancel;
    bool cancelled;
  };
  for (const Case& c : {Case{kTrue, true}, Case{1, false}, Case{-2, false}}) {
    SCOPED_TRACE(c.cancel);
    auto poster = MakePoster();
    List().Clear();
    poster->SetShowCounter(kTrue);
    Manager().active = 0x500;
    Manager().set_active_calls = 0;
    sink_->events.clear();
    sink_->handler = CancelWith(EventId::BeforeSirel, c.cancel);

    poster->DoSirel(u"T", 1);

    EXPECT_EQ(poster->Counter(), 1);
    EXPECT_EQ(List().ListCount(), c.cancelled ? 0 : 1);
    EXPECT_EQ(sink_->events.size(), c.cancelled ? 1u : 2u);
    EXPECT_EQ(Manager().set_active_calls, c.cancelled ? 0 : 1);

    sink_->handler = nullptr;
    poster->DoSirel(u"T", 1);
    EXPECT_EQ(poster->LastMessage(), u"2: T");
  }
}

TEST_F(PosterPostingTest, EventsOffPostsWithoutEvents) {
  auto poster = MakePoster();
  poster->SetEnableEvents(kFalse);
  sink_->handler = CancelWith(EventId::BeforeSirel, kTrue);
  poster->DoSirel(u"T", 1);
  EXPECT_EQ(List().ListCount(), 1);
  EXPECT_TRUE(sink_->events.empty());
}

TEST_F(PosterPostingTest, MaxListCountRemovesTheOldestLine) {
  auto poster = MakePoster();
  poster->SetShowCounter(kTrue);
  poster->SetMaxListCount(3);
  for (int i = 0; i < 4; ++i) poster->DoSirel(u"T", 1);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"2: T", u"3: T", u"4: T"}));
  EXPECT_EQ(List().ListIndex(), 2);
  EXPECT_EQ(List().Selected(2), kTrue);
  EXPECT_EQ(List().SelCount(), 1);
}

TEST_F(PosterPostingTest, LoweredLimitRemovesOneLinePerPosting) {
  auto poster = MakePoster();
  poster->SetShowCounter(kTrue);
  poster->SetMaxListCount(10);
  for (int i = 0; i < 10; ++i) poster->DoSirel(u"T", 1);
  poster->SetMaxListCount(3);
  for (int i = 0; i < 3; ++i) {
    poster->DoSirel(u"T", 1);
    EXPECT_EQ(List().ListCount(), 10);  // one added, one removed
  }
  EXPECT_EQ(List().LineText(0), u"4: T");
  EXPECT_EQ(poster->LastMessage(), u"13: T");
  // Clearing lets the limit hold again.
  poster->ClearList();
  for (int i = 0; i < 5; ++i) poster->DoSirel(u"T", 1);
  EXPECT_EQ(List().ListCount(), 3);
}

TEST_F(PosterPostingTest, NoLimitAtZeroOrBelow) {
  for (std::int32_t limit : {0, -1, -2147483647 - 1}) {
    SCOPED_TRACE(limit);
    auto poster = MakePoster();
    List().Clear();
    poster->SetMaxListCount(limit);
    for (int i = 0; i < 20; ++i) poster->DoSirel(u"T", 1);
    EXPECT_EQ(List().ListCount(), 20);
  }
}

TEST_F(PosterPostingTest, NewestLineBecomesTheOnlySelection) {
  auto poster = MakePoster();
  for (int i = 0; i < 5; ++i) poster->DoSirel(u"T", 1);
  List().SetSelected(0, true);
  List().SetSelected(2, true);
  poster->DoSirel(u"new", 1);
  EXPECT_EQ(List().SelCount(), 1);
  EXPECT_EQ(List().Selected(5), kTrue);
  EXPECT_EQ(List().ListIndex(), 5);
}

TEST_F(PosterPostingTest, PostingKeepsAHiddenWindowHidden) {
  auto poster = MakePoster();
  poster->DoSirel(u"T", 1);
  EXPECT_FALSE(Window().IsVisible());
  poster->SetFormVisible(kTrue);
  EXPECT_TRUE(Window().IsVisible());
  EXPECT_EQ(poster->LastMessage(), u"T");
  poster->DoSirel(u"U", 1);
  EXPECT_TRUE(Window().IsVisible());
}

// A full list takes no more lines without a limit; with a limit up to its capacity the oldest
// line makes room for the new one, and comes back when the append fails after all.
TEST_F(PosterPostingTest, FullList) {
  struct Case {
    std::int32_t limit;
    bool rolls;
    bool appendFails;
  };
  for (const Case& c : {Case{0, false, false}, Case{40000, false, false},
                        Case{32767, true, false}, Case{3, true, false}, Case{3, true, true}}) {
    SCOPED_TRACE(testing::Message() << c.limit << (c.appendFails ? ", failing append" : ""));
    auto poster = MakePoster();
    List().Clear();
    List().AddItem(u"first old");
    for (int i = 1; i < MessageList::kMaxLines - 1; ++i) List().AddItem(u"old");
    List().AddItem(u"last old");
    List().SetSelected(0, true);
    poster->SetMaxListCount(c.limit);
    sink_->events.clear();
    List().FailAdds(c.appendFails);

    if (!c.rolls || c.appendFails) {
      EXPECT_EQ(ThrownCode([&] { poster->DoSirel(u"new", 1); }),
                c.appendFails ? ErrorCode::OutOfMemory : ErrorCode::ListFull);
      List().FailAdds(false);
      EXPECT_EQ(poster->Counter(), 1);  // the failed posting keeps its number
      EXPECT_EQ(sink_->Ids(), std::vector<EventId>{EventId::BeforeSirel});
      EXPECT_EQ(List().ListCount(), MessageList::kMaxLines);
      EXPECT_EQ(List().LineText(0), u"first old");
      EXPECT_EQ(List().Selected(0), kTrue);
      EXPECT_EQ(poster->LastMessage(), u"last old");
      continue;
    }
    poster->DoSirel(u"new", 1);
    poster->DoSirel(u"newer", 1);
    EXPECT_EQ(List().ListCount(), MessageList::kMaxLines);
    EXPECT_EQ(List().LineText(MessageList::kMaxLines - 3), u"last old");
    EXPECT_EQ(poster->LastMessage(), u"newer");
    EXPECT_EQ(List().ListIndex(), MessageList::kMaxLines - 1);
    EXPECT_EQ(List().SelCount(), 1);
  }
}

}  // namespace
}  // namespace sirel
