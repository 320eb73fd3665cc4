// A poster's defaults, its stored switches and its two priority bounds with their events.
#include <gtest/gtest.h>

#include "poster_fixture.h"

namespace sirel {
namespace {

using PosterSettingsTest = PosterTest;

TEST_F(PosterSettingsTest, CreatedPosterHasDefaults) {
  auto poster = MakePoster();
  EXPECT_EQ(poster->MinPriority(), 0);
  EXPECT_EQ(poster->MaxPriority(), 9999999);
  EXPECT_EQ(poster->EnableEvents(), kTrue);
  EXPECT_EQ(poster->ReturnFocus(), kTrue);
  EXPECT_EQ(poster->ShowCounter(), kFalse);
  EXPECT_EQ(poster->ShowPriority(), kFalse);
  EXPECT_EQ(poster->MaxListCount(), 0);
  EXPECT_EQ(poster->FormVisible(), kFalse);
  EXPECT_EQ(poster->Counter(), 0);
  EXPECT_EQ(poster->SavedActiveWindow(), 0);
  // Creating a poster made the thread's window, hidden and empty, and raised nothing.
  EXPECT_FALSE(Window().IsVisible());
  EXPECT_EQ(List().ListCount(), 0);
  EXPECT_TRUE(sink_->events.empty());
}

TEST_F(PosterSettingsTest, SwitchesStoreAnyValueAndCountOnlyMinusOneAsOn) {
  auto poster = MakePoster();
  for (VBool value : {VBool{1}, VBool{-2}, VBool{32767}, VBool{-32768}, kFalse, kTrue}) {
    SCOPED_TRACE(value);
    poster->SetShowCounter(value);
    poster->SetShowPriority(value);
    poster->SetReturnFocus(value);
    poster->SetEnableEvents(value);
    EXPECT_EQ(poster->ShowCounter(), value);
    EXPECT_EQ(poster->ShowPriority(), value);
    EXPECT_EQ(poster->ReturnFocus(), value);
    EXPECT_EQ(poster->EnableEvents(), value);
  }
  for (std::int32_t limit : {-5, 0, 3, 2147483647}) {
    poster->SetMaxListCount(limit);
    EXPECT_EQ(poster->MaxListCount(), limit);
  }

  // A switch holding 1 is not on: no prefix, no event.
  poster->SetMaxListCount(0);
  poster->SetShowCounter(1);
  poster->SetShowPriority(1);
  poster->SetEnableEvents(1);
  sink_->events.clear();
  poster->DoSirel(u"T", 3);
  EXPECT_EQ(poster->LastMessage(), u"T");
  EXPECT_TRUE(sink_->events.empty());
}

TEST_F(PosterSettingsTest, SettingsDoNotTouchExistingLines) {
  auto poster = MakePoster();
  for (int i = 0; i < 4; ++i) poster->DoSirel(u"T", 3);
  poster->SetShowCounter(kTrue);
  poster->SetShowPriority(kTrue);
  poster->SetMaxListCount(1);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"T", u"T", u"T", u"T"}));
}

// The two bounds behave alike; each case runs on both.
TEST_F(PosterSettingsTest, BoundChangesRaiseEventsAndHonourCancel) {
  struct Case {
    const char* name;
    std::int32_t value;
    VBool events_switch;
    VBool cancel;  // what the BeforePriorityChange handler assigns
    bool expect_changed;
    std::vector<EventId> expect_events;
  };
  const std::vector<EventId> both = {EventId::BeforePriorityChange, EventId::AfterPriorityChange};
  const std::vector<EventId> before = {EventId::BeforePriorityChange};
  const Case cases[] = {
      {"plain change", 50, kTrue, kFalse, true, both},
      {"zero", 0, kTrue, kFalse, true, both},
      {"-1 ignored", -1, kTrue, kFalse, false, {}},
      {"negative ignored", -5, kTrue, kFalse, false, {}},
      {"most negative ignored", -2147483647 - 1, kTrue, kFalse, false, {}},
      {"cancel -1", 50, kTrue, kTrue, false, before},
      {"cancel 1 does not cancel", 50, kTrue, 1, true, both},
      {"cancel -2 does not cancel", 50, kTrue, -2, true, both},
      {"events off", 50, kFalse, kTrue, true, {}},
      {"events switch 1 is off", 50, 1, kTrue, true, {}},
  };
  for (bool lower : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(lower ? "MinPriority: " : "MaxPriority: ") + c.name);
      auto poster = MakePoster();
      poster->SetEnableEvents(c.events_switch);
      sink_->events.clear();
      sink_->handler = CancelWith(EventId::BeforePriorityChange, c.cancel);
      const std::int32_t old = lower ? poster->MinPriority() : poster->MaxPriority();

      lower ? poster->SetMinPriority(c.value) : poster->SetMaxPriority(c.value);

      EXPECT_EQ(lower ? poster->MinPriority() : poster->MaxPriority(),
                c.expect_changed ? c.value : old);
      ASSERT_EQ(sink_->Ids(), c.expect_events);
      for (const EventRecord& e : sink_->events) {
        EXPECT_EQ(e.flag, ToVBool(lower));
        EXPECT_EQ(e.first, old);
        EXPECT_EQ(e.second, c.value);
      }
    }
  }
}

TEST_F(PosterSettingsTest, SameValueStillRaisesBothEvents) {
  auto poster = MakePoster();
  poster->SetMinPriority(0);
  poster->SetMaxPriority(9999999);
  ASSERT_EQ(sink_->events.size(), 4u);
  EXPECT_EQ(sink_->events[1].first, 0);
  EXPECT_EQ(sink_->events[1].second, 0);
  EXPECT_EQ(sink_->events[3].first, 9999999);
  EXPECT_EQ(sink_->events[3].second, 9999999);
}

TEST_F(PosterSettingsTest, LowerBoundAboveUpperBoundIsAccepted) {
  auto poster = MakePoster();
  poster->SetMaxPriority(10);
  poster->SetMinPriority(50);
  EXPECT_EQ(poster->MinPriority(), 50);
  EXPECT_EQ(poster->MaxPriority(), 10);
}

TEST_F(PosterSettingsTest, AfterEventTestsTheEventsSwitchAfresh) {
  auto poster = MakePoster();
  sink_->handler = [&](const EventRecord& e, VBool*) {
    if (e.id == EventId::BeforePriorityChange) poster->SetEnableEvents(kFalse);
  };
  poster->SetMinPriority(7);
  EXPECT_EQ(poster->MinPriority(), 7);
  EXPECT_EQ(sink_->Ids(), std::vector<EventId>{EventId::BeforePriorityChange});
}

}  // namespace
}  // namespace sirel
