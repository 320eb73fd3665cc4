// Posters share their thread's window and list, and nothing across threads.
#include <gtest/gtest.h>

#include <thread>

#include "poster_fixture.h"

namespace sirel {
namespace {

using PosterThreadsTest = PosterTest;

TEST_F(PosterThreadsTest, TwoPostersOnOneThreadShareTheListWithTheirOwnCounters) {
  auto first = MakePoster();
  auto second = MakePoster();
  first->SetShowCounter(kTrue);
  second->SetShowCounter(kTrue);
  first->DoSirel(u"a", 1);
  first->DoSirel(u"b", 1);
  second->DoSirel(u"c", 1);
  second->ResetCounter();
  first->DoSirel(u"d", 1);
  second->DoSirel(u"e", 1);

  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"1: a", u"2: b", u"1: c", u"3: d", u"1: e"}));
  EXPECT_EQ(first->Count(), 5);
  EXPECT_EQ(second->LastMessage(), u"1: e");
  EXPECT_EQ(first->Hwnd(), second->Hwnd());
  second->SetFormVisible(kTrue);
  EXPECT_TRUE(Window().IsVisible());
  EXPECT_EQ(first->FormVisible(), kFalse);
  first->ClearList();
  EXPECT_EQ(second->Count(), 0);
}

TEST_F(PosterThreadsTest, DestroyingAPosterLeavesTheWindowAsItWas) {
  {
    auto poster = MakePoster();
    poster->SetFormVisible(kTrue);
    poster->DoSirel(u"T", 1);
  }
  EXPECT_TRUE(Window().IsVisible());
  EXPECT_EQ(List().ListCount(), 1);
  auto next = MakePoster();
  EXPECT_EQ(next->Counter(), 0);
  EXPECT_EQ(next->LastMessage(), u"T");
}

// Each worker posts through its own thread's state (made on first use with the installed
// platform) and reports what it saw.
struct WorkerResult {
  WindowHandle hwnd = 0;
  std::int32_t count = 0;
  std::u16string last;
  WindowHandle parent = 0;
};

WorkerResult PostOnNewThread(const std::u16string& text, int postings) {
  WorkerResult result;
  std::thread worker([&] {
    ThreadState& state = ThreadState::Current();
    Poster poster(state);
    poster.Initialize();
    for (int i = 0; i < postings; ++i) poster.DoSirel(text, 1);
    Poster second(ThreadState::Current());
    second.Initialize();
    result.hwnd = second.Hwnd();
    result.count = second.Count();
    result.last = second.LastMessage();
    result.parent = state.parentWindow();
  });
  worker.join();
  return result;
}

TEST(PosterOnThreadsTest, ThreadsGetTheirOwnWindowsAndLists) {
  const WorkerResult a = PostOnNewThread(u"from a", 3);
  const WorkerResult b = PostOnNewThread(u"from b", 5);
  EXPECT_NE(a.hwnd, 0);
  EXPECT_NE(a.hwnd, b.hwnd);
  EXPECT_EQ(a.count, 3);
  EXPECT_EQ(b.count, 5);
  EXPECT_EQ(a.last, u"from a");
  EXPECT_EQ(b.last, u"from b");
}

TEST(PosterOnThreadsTest, ConcurrentThreadsDoNotMix) {
  WorkerResult results[2];
  std::thread workers[2];
  for (int t = 0; t < 2; ++t) {
    workers[t] = std::thread([&results, t] {
      Poster poster(ThreadState::Current());
      poster.Initialize();
      poster.SetShowCounter(kTrue);
      for (int i = 0; i < 2000; ++i) poster.DoSirel(t == 0 ? u"zero" : u"one", 1);
      results[t].count = poster.Count();
      results[t].last = poster.LastMessage();
      results[t].hwnd = poster.Hwnd();
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(results[0].count, 2000);
  EXPECT_EQ(results[1].count, 2000);
  EXPECT_EQ(results[0].last, u"2000: zero");
  EXPECT_EQ(results[1].last, u"2000: one");
  EXPECT_NE(results[0].hwnd, results[1].hwnd);
}

}  // namespace
}  // namespace sirel
