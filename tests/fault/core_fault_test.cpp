// Every allocation fails in turn, in the portable core: each operation below runs with the n-th
// allocation from its start failing, for n = 1, 2, ... until a run goes through without a
// failure. A failing run must end with error 7 (std::bad_alloc or SirelError 7, which the COM
// shell reports as error 7), leave the state as a failing call leaves it, and leak nothing
// (LeakSanitizer checks at exit, in the sanitizer build that runs this program). The operations
// are those of the core suites, on the in-memory platform; the DLL's own run is
// tests/fault/dll_fault_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "failing_allocator.h"
#include "poster_fixture.h"

namespace sirel {
namespace {

// A fresh poster world per run: the fixture of the core's poster suites.
struct World : PosterTest {
  void TestBody() override {}
  using PosterTest::Lines;
  using PosterTest::List;
  using PosterTest::MakePoster;
  using PosterTest::thread_;
};

struct Operation {
  const char* name;
  std::function<void(World&)> setUp;  // runs unarmed
  std::function<void(World&)> run;    // runs with the failure armed
  // After a failed run: the state a failing call may leave (lines before, and after).
  std::function<void(World&, const std::vector<std::u16string>&)> check;
};

std::unique_ptr<Poster> g_poster;  // the poster an operation works with, made by setUp

// A failed posting keeps the counter it took and the lines it found, or, failing after the
// append, has added just its own line.
void CheckPosting(World& w, const std::vector<std::u16string>& before) {
  std::vector<std::u16string> withLine = before;
  withLine.push_back(u"posted");
  const std::vector<std::u16string> after = w.Lines();
  EXPECT_TRUE(after == before || after == withLine ||
              (after.size() == before.size() && after.back() == u"posted"));
  EXPECT_GE(g_poster->Counter(), 0);
}

std::vector<Operation> Operations() {
  auto none = [](World&) {};
  auto made = [](World& w) { g_poster = w.MakePoster(); };
  auto post = [](World&) { g_poster->DoSirel(u"posted", 1); };
  auto fill = [made](World& w) {
    made(w);
    for (const char16_t* line : {u"a", u"b", u"c", u"d", u"e"}) g_poster->DoSirel(line, 1);
  };
  return {
      {"creating the thread's first poster", none, [](World& w) { w.MakePoster(); },
       [](World&, const std::vector<std::u16string>&) {}},
      {"creating another poster", made, [](World& w) { w.MakePoster(); },
       [](World& w, const std::vector<std::u16string>& before) { EXPECT_EQ(w.Lines(), before); }},
      {"a posting, hidden", made, post, CheckPosting},
      {"a posting, shown", [made](World& w) { made(w); g_poster->SetFormVisible(kTrue); }, post,
       CheckPosting},
      {"a posting with a connected sink and a prefix",
       [made](World& w) {
         made(w);
         g_poster->events().Connect(std::make_shared<PosterEventRecorder>());
         g_poster->SetShowCounter(kTrue);
         g_poster->SetShowPriority(kTrue);
       },
       [](World&) { g_poster->DoSirel(u"posted", 1); },
       [](World& w, const std::vector<std::u16string>& before) {
         EXPECT_TRUE(w.Lines().size() == before.size() || w.Lines().size() == before.size() + 1);
       }},
      {"a posting on a full list with a limit",
       [fill](World& w) {
         fill(w);
         g_poster->SetMaxListCount(5);
       },
       post, CheckPosting},
      {"DeleteSelectedMessages",
       [fill](World& w) {
         fill(w);
         w.List().SetSelected(1, true);
         w.List().SetSelected(3, true);
       },
       [](World&) { g_poster->DeleteSelectedMessages(); },
       [](World& w, const std::vector<std::u16string>&) {
         // Lines a delete removed before the failure stay removed; the unselected stay.
         const std::vector<std::u16string> after = w.Lines();
         for (const char16_t* kept : {u"a", u"c", u"e"}) {
           EXPECT_NE(std::find(after.begin(), after.end(), kept), after.end()) << "lost a line";
         }
       }},
  };
}

TEST(CoreFaultTest, EveryAllocationFailsInTurn) {
  int points = 0;
  for (const Operation& op : Operations()) {
    SCOPED_TRACE(op.name);
    for (long n = 1;; ++n) {
      World world;
      op.setUp(world);
      const std::vector<std::u16string> before = world.Lines();
      int error = 0;
      fault::Arm(n);
      try {
        op.run(world);
      } catch (const std::bad_alloc&) {
        error = 7;
      } catch (const SirelError& failure) {
        error = failure.number();
      }
      const bool failed = fault::Disarm();
      if (!failed) {
        EXPECT_EQ(error, 0);
        break;
      }
      ++points;
      SCOPED_TRACE("allocation " + std::to_string(n) + " failed");
      EXPECT_EQ(error, 7);
      op.check(world, before);
      g_poster.reset();
      ASSERT_LT(n, 10000) << "no run went through";
    }
    g_poster.reset();
  }
  std::printf("core fault injection: %d failure points tried\n", points);
  EXPECT_GT(points, 0);
}

}  // namespace
}  // namespace sirel
