// Handlers that run inside a raise and change the poster, the list or the connections.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "poster_fixture.h"

namespace sirel {

class EventSourceTestPeer {
 public:
  static void SetNextCookie(EventSource& source, EventSource::Cookie next) {
    source.next_cookie_ = next;
  }
};

namespace {

using PosterReentrancyTest = PosterTest;

// After 2^32 connections the numbers come round again: 0 and a cookie still connected are
// skipped, so a disconnect never drops another client's sink.
TEST(EventSourceTest, CookiesComingRoundSkipTheConnectedOnes) {
  EventSource source;
  auto sink = std::make_shared<PosterEventRecorder>();
  const EventSource::Cookie first = source.Connect(sink);
  EventSourceTestPeer::SetNextCookie(source, 0xFFFFFFFFu);
  const EventSource::Cookie last = source.Connect(sink);
  const EventSource::Cookie wrapped = source.Connect(sink);
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(last, 0xFFFFFFFFu);
  EXPECT_EQ(wrapped, 2u);
  EXPECT_TRUE(source.Disconnect(wrapped));
  EXPECT_EQ(source.SinkCount(), 2u);
  EXPECT_TRUE(source.Disconnect(first));
  EXPECT_TRUE(source.Disconnect(last));
}

TEST_F(PosterReentrancyTest, BeforeSirelHandlerThatResetsTheCounterGivesLineZero) {
  auto poster = MakePoster();
  poster->SetShowCounter(kTrue);
  poster->DoSirel(u"T", 1);
  sink_->handler = [&](const EventRecord& e, VBool*) {
    if (e.id == EventId::BeforeSirel) poster->ResetCounter();
  };
  poster->DoSirel(u"T", 1);
  EXPECT_EQ(poster->LastMessage(), u"0: T");
  EXPECT_EQ(sink_->events[3].id, EventId::BeforeCounterReset);
  EXPECT_EQ(sink_->events[3].first, 2);
}

TEST_F(PosterReentrancyTest, BeforeSirelHandlerThatChangesSwitchesShapesThisLine) {
  auto poster = MakePoster();
  sink_->handler = [&](const EventRecord& e, VBool*) {
    if (e.id == EventId::BeforeSirel) {
      poster->SetShowPriority(kTrue);
      poster->SetReturnFocus(kFalse);
    }
  };
  Manager().active = 0x500;
  poster->DoSirel(u"T", 4);
  EXPECT_EQ(poster->LastMessage(), u"4: T");
  EXPECT_EQ(Manager().set_active_calls, 0);
}

TEST_F(PosterReentrancyTest, AfterSirelHandlerThatClearsTheList) {
  for (std::int32_t limit : {0, 1}) {
    SCOPED_TRACE(limit);
    auto poster = MakePoster();
    poster->SetMaxListCount(limit);
    poster->DoSirel(u"T", 1);
    sink_->handler = [&](const EventRecord& e, VBool*) {
      if (e.id == EventId::AfterSirel) poster->ClearList();
    };
    poster->DoSirel(u"T", 1);
    EXPECT_EQ(List().ListCount(), 0);
    EXPECT_EQ(List().ListIndex(), -1);
    sink_->handler = nullptr;
    poster->DoSirel(u"U", 1);
    EXPECT_EQ(Lines(), std::vector<std::u16string>{u"U"});
  }
}

// The user can close the window while a handler runs (a handler's message box pumps messages),
// and so can the end of the apartment (the spy's close): the posting then selects and trims in
// the window loaded afresh, and its update guard ends on a live list.
TEST_F(PosterReentrancyTest, AfterSirelHandlerDuringWhichTheWindowIsClosed) {
  for (const bool apartmentEnds : {false, true}) {
    SCOPED_TRACE(apartmentEnds ? "the apartment's end" : "the user's close");
    auto poster = MakePoster();
    poster->SetMaxListCount(1);
    poster->DoSirel(u"T", 1);
    MemoryMessageWindow& window = Window();
    const int loads = window.loadCount();
    sink_->handler = [&](const EventRecord& e, VBool*) {
      if (e.id == EventId::AfterSirel) apartmentEnds ? thread_.CloseWindow() : window.Close();
    };
    poster->DoSirel(u"U", 1);
    sink_->handler = nullptr;
    EXPECT_TRUE(window.IsLoaded());
    EXPECT_EQ(window.loadCount(), loads + 1);
    EXPECT_EQ(window.memoryList().ListCount(), 0);
    EXPECT_EQ(window.memoryList().ListIndex(), -1);
  }
}

TEST_F(PosterReentrancyTest, NestedPostingFromBeforeSirel) {
  auto poster = MakePoster();
  poster->SetShowCounter(kTrue);
  sink_->handler = [&](const EventRecord& e, VBool*) {
    if (e.id == EventId::BeforeSirel && e.text == u"outer") poster->DoSirel(u"inner", 1);
  };
  poster->DoSirel(u"outer", 1);
  // The outer line is built after the handler, with the counter the inner posting left.
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"2: inner", u"2: outer"}));
  EXPECT_EQ(List().ListIndex(), 1);
  EXPECT_EQ(List().SelCount(), 1);
}

TEST_F(PosterReentrancyTest, NestedPostingFromAfterSirelOnAnotherPoster) {
  auto first = MakePoster();
  auto second = MakePoster();
  second->SetMaxListCount(2);
  sink_->handler = [&](const EventRecord& e, VBool*) {
    if (e.id == EventId::AfterSirel && e.text == u"a") second->DoSirel(u"b", 1);
  };
  first->SetMaxListCount(2);
  first->DoSirel(u"x", 1);
  first->DoSirel(u"a", 1);
  // first appended "a", second appended "b" and trimmed "x"; first then trims nothing more.
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(List().ListIndex(), 1);
  EXPECT_EQ(first->Counter(), 2);
  EXPECT_EQ(second->Counter(), 1);
}

// A sink that runs an action in the n-th event it hears.
class ActingSink : public PosterEvents {
 public:
  explicit ActingSink(std::function<void()> action = nullptr) : action_(std::move(action)) {}
  void BeforeSirel(const std::u16string&, std::int32_t, VBool&) override { Hear(); }
  void AfterSirel(const std::u16string&, std::int32_t) override { Hear(); }
  int heard = 0;

 private:
  void Hear() {
    ++heard;
    if (heard == 1 && action_) action_();
  }
  std::function<void()> action_;
};

TEST_F(PosterReentrancyTest, SinkThatDisconnectsItselfStillLetsTheOthersHear) {
  auto poster = MakePoster();
  EventSource::Cookie self = 0;
  auto quitter = std::make_shared<ActingSink>([&] { poster->events().Disconnect(self); });
  self = poster->events().Connect(quitter);
  auto after = std::make_shared<ActingSink>();
  poster->events().Connect(after);

  poster->DoSirel(u"T", 1);

  EXPECT_EQ(quitter->heard, 1);
  EXPECT_EQ(after->heard, 2);
  EXPECT_EQ(sink_->events.size(), 2u);
  EXPECT_EQ(poster->events().SinkCount(), 2u);
}

TEST_F(PosterReentrancyTest, SinkThatDisconnectsALaterSinkSkipsItAtOnce) {
  auto poster = MakePoster();
  auto victim = std::make_shared<ActingSink>();
  EventSource::Cookie victimCookie = 0;
  auto killer = std::make_shared<ActingSink>([&] { poster->events().Disconnect(victimCookie); });
  poster->events().Connect(killer);
  victimCookie = poster->events().Connect(victim);

  poster->DoSirel(u"T", 1);

  EXPECT_EQ(victim->heard, 0);
  EXPECT_EQ(killer->heard, 2);
  EXPECT_EQ(List().ListCount(), 1);
}

TEST_F(PosterReentrancyTest, SinkThatDisconnectsAnEarlierSinkLeavesThisRaiseWhole) {
  auto poster = MakePoster();
  // sink_ (cookie 1) heard BeforeSirel before the handler drops it; it misses AfterSirel only.
  auto dropper = std::make_shared<ActingSink>([&] { poster->events().Disconnect(1); });
  poster->events().Connect(dropper);
  poster->DoSirel(u"T", 1);
  EXPECT_EQ(sink_->Ids(), std::vector<EventId>{EventId::BeforeSirel});
  EXPECT_EQ(dropper->heard, 2);
}

TEST_F(PosterReentrancyTest, SinkConnectedDuringARaiseHearsFromTheNextEvent) {
  auto poster = MakePoster();
  auto latecomer = std::make_shared<ActingSink>();
  auto connector = std::make_shared<ActingSink>([&] { poster->events().Connect(latecomer); });
  poster->events().Connect(connector);
  poster->DoSirel(u"T", 1);
  EXPECT_EQ(latecomer->heard, 1);  // AfterSirel of the same posting
  EXPECT_EQ(connector->heard, 2);
}

// A sink's last release may run client code: here it posts and connects a sink while the
// source is dropping it, with a later connection still to move into its place.
TEST_F(PosterReentrancyTest, SinkWhoseLastReleasePostsAndConnects) {
  struct ReleasingSink : ActingSink {
    using ActingSink::ActingSink;
    std::function<void()> onRelease;
    ~ReleasingSink() override { onRelease(); }
  };
  auto poster = MakePoster();
  auto latecomer = std::make_shared<ActingSink>();
  auto releasing = std::make_shared<ReleasingSink>();
  releasing->onRelease = [&] {
    poster->DoSirel(u"from a release", 1);
    poster->events().Connect(latecomer);
  };
  const EventSource::Cookie cookie = poster->events().Connect(std::move(releasing));
  auto later = std::make_shared<ActingSink>();
  poster->events().Connect(later);

  EXPECT_TRUE(poster->events().Disconnect(cookie));
  EXPECT_EQ(later->heard, 2);
  EXPECT_EQ(latecomer->heard, 0);
  EXPECT_EQ(poster->events().SinkCount(), 3u);
  EXPECT_EQ(List().ListCount(), 1);
}

TEST_F(PosterReentrancyTest, DisconnectWithUnknownCookieFails) {
  auto poster = MakePoster();
  EXPECT_FALSE(poster->events().Disconnect(0));
  EXPECT_FALSE(poster->events().Disconnect(99));
  EXPECT_TRUE(poster->events().Disconnect(1));
  EXPECT_FALSE(poster->events().Disconnect(1));
}

}  // namespace
}  // namespace sirel
