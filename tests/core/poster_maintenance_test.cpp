// Count, LastMessage, ClearList, DeleteSelectedMessages and ResetCounter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "poster_fixture.h"

namespace sirel {
namespace {

using PosterMaintenanceTest = PosterTest;

TEST_F(PosterMaintenanceTest, CountAndLastMessage) {
  auto poster = MakePoster();
  EXPECT_EQ(poster->Count(), 0);
  EXPECT_EQ(poster->LastMessage(), u"");
  poster->SetShowCounter(kTrue);
  for (const char16_t* text : {u"one", u"two", u"three"}) poster->DoSirel(text, 1);
  List().SetSelected(0, true);
  EXPECT_EQ(poster->Count(), 3);
  EXPECT_EQ(poster->LastMessage(), u"3: three");
}

TEST_F(PosterMaintenanceTest, WindowClosedByTheUserComesBackEmpty) {
  auto poster = MakePoster();
  poster->DoSirel(u"T", 1);
  Window().Close();
  EXPECT_EQ(poster->Count(), 0);
  EXPECT_EQ(poster->LastMessage(), u"");
  EXPECT_EQ(Window().loadCount(), 2);
}

TEST_F(PosterMaintenanceTest, ClearList) {
  struct Case {
    const char* name;
    VBool events_switch;
    VBool cancel;
    bool cleared;
    std::vector<EventId> events;
  };
  const std::vector<EventId> both = {EventId::BeforeClear, EventId::AfterClear};
  const Case cases[] = {
      {"no cancel", kTrue, kFalse, true, both}, {"cancel -1", kTrue, kTrue, false, both},
      {"cancel 1", kTrue, 1, false, both},      {"cancel -2", kTrue, -2, false, both},
      {"events off", kFalse, kTrue, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto poster = MakePoster();
    List().Clear();
    poster->DoSirel(u"a", 1);
    poster->DoSirel(u"b", 1);
    poster->SetEnableEvents(c.events_switch);
    sink_->events.clear();
    sink_->handler = CancelWith(EventId::BeforeClear, c.cancel);

    poster->ClearList();

    EXPECT_EQ(poster->Count(), c.cleared ? 0 : 2);
    EXPECT_EQ(sink_->Ids(), c.events);
    EXPECT_EQ(poster->Counter(), 2);  // clearing never touches the counter
  }
}

TEST_F(PosterMaintenanceTest, ClearListOnAClosedWindowReloadsIt) {
  auto poster = MakePoster();
  Window().Close();
  poster->ClearList();
  EXPECT_TRUE(Window().IsLoaded());
  EXPECT_EQ(poster->Count(), 0);
}

TEST_F(PosterMaintenanceTest, DeleteSelectedMessagesKeepsTheOthersInOrder) {
  struct Case {
    const char* name;
    std::vector<std::int16_t> selected;
    std::vector<std::u16string> left;
  };
  const Case cases[] = {
      {"lines 1 and 3", {1, 3}, {u"0", u"2", u"4"}},
      {"none", {}, {u"0", u"1", u"2", u"3", u"4"}},
      {"all", {0, 1, 2, 3, 4}, {}},
      {"first and last", {0, 4}, {u"1", u"2", u"3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto poster = MakePoster();
    List().Clear();
    for (const char16_t* text : {u"0", u"1", u"2", u"3", u"4"}) poster->DoSirel(text, 1);
    List().SetSelected(4, false);  // the posting's own selection
    for (std::int16_t index : c.selected) List().SetSelected(index, true);
    sink_->events.clear();

    poster->DeleteSelectedMessages();

    EXPECT_EQ(Lines(), c.left);
    EXPECT_EQ(List().SelCount(), 0);
    EXPECT_TRUE(sink_->events.empty());
    EXPECT_EQ(poster->Counter(), 5);
  }
}

TEST_F(PosterMaintenanceTest, ResetCounter) {
  struct Case {
    const char* name;
    VBool events_switch;
    VBool cancel;
    bool reset;
    bool raised;
  };
  const Case cases[] = {
      {"no cancel", kTrue, kFalse, true, true},
      {"cancel -1", kTrue, kTrue, false, true},
      {"cancel 1 does not cancel", kTrue, 1, true, true},
      {"events off", kFalse, kTrue, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto poster = MakePoster();
    poster->SetShowCounter(kTrue);
    for (int i = 0; i < 5; ++i) poster->DoSirel(u"T", 1);
    poster->SetEnableEvents(c.events_switch);
    sink_->events.clear();
    sink_->handler = CancelWith(EventId::BeforeCounterReset, c.cancel);

    poster->ResetCounter();

    EXPECT_EQ(poster->Counter(), c.reset ? 0 : 5);
    ASSERT_EQ(sink_->events.size(), c.raised ? 1u : 0u);
    if (c.raised) {
      EXPECT_EQ(sink_->events[0].first, 5);
    }
    // Lines keep their numbers; the next line is numbered from the counter.
    EXPECT_EQ(poster->LastMessage(), u"5: T");
    sink_->handler = nullptr;
    poster->DoSirel(u"T", 1);
    EXPECT_EQ(poster->LastMessage(), c.reset ? u"1: T" : u"6: T");
  }
}

}  // namespace
}  // namespace sirel
