// Placement, title, visibility and parenting of the thread's message window.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "poster_fixture.h"

namespace sirel {
namespace {

using PosterWindowTest = PosterTest;

TEST_F(PosterWindowTest, FormVisible) {
  struct Case {
    const char* name;
    VBool value;
    VBool events_switch;
    VBool cancel;
    bool starts_visible;
    bool ends_visible;
    std::vector<EventId> events;
  };
  const std::vector<EventId> show = {EventId::BeforeShow};
  const std::vector<EventId> hide = {EventId::BeforeHide};
  const Case cases[] = {
      {"show", kTrue, kTrue, kFalse, false, true, show},
      {"show again", kTrue, kTrue, kFalse, true, true, show},
      {"show cancelled by -1", kTrue, kTrue, kTrue, false, false, show},
      {"show cancelled by 1", kTrue, kTrue, 1, false, false, show},
      {"show, events off", kTrue, kFalse, kTrue, false, true, {}},
      {"hide", kFalse, kTrue, kFalse, true, false, hide},
      {"hide cancelled by 1", kFalse, kTrue, 1, true, true, hide},
      {"1 is not true: hides", 1, kTrue, kFalse, true, false, hide},
      {"hide, events off", kFalse, kFalse, kTrue, true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sink_->handler = nullptr;  // the last case's handler refers to its own poster
    auto poster = MakePoster();
    poster->DoSirel(u"kept", 1);
    c.starts_visible ? Window().Show() : Window().Hide();
    poster->SetEnableEvents(c.events_switch);
    sink_->events.clear();
    // The handler sees the flag already stored.
    VBool seen = 0;
    sink_->handler = [&](const EventRecord& e, VBool* cancel) {
      seen = poster->FormVisible();
      if (cancel != nullptr && e.id != EventId::AfterSirel) *cancel = c.cancel;
    };

    poster->SetFormVisible(c.value);

    EXPECT_EQ(poster->FormVisible(), c.value);
    EXPECT_EQ(Window().IsVisible(), c.ends_visible);
    EXPECT_EQ(sink_->Ids(), c.events);
    if (!c.events.empty()) {
      EXPECT_EQ(seen, c.value);
    }
    EXPECT_EQ(poster->LastMessage(), u"kept");
  }
}

TEST_F(PosterWindowTest, FormVisibleReadsTheFlagNotTheWindow) {
  auto poster = MakePoster();
  poster->SetFormVisible(kTrue);
  Window().Hide();  // the window's own Hide command
  EXPECT_EQ(poster->FormVisible(), kTrue);
  poster->SetFormVisible(kTrue);
  EXPECT_TRUE(Window().IsVisible());
}

TEST_F(PosterWindowTest, SetParentWindowChoosesTheParent) {
  struct Case {
    const char* name;
    WindowArgument argument;
    WindowHandle parent;
  };
  const WindowHandle foreground = 0x4242;
  const Case cases[] = {
      {"0", WindowArgument::Number(0), foreground},
      {"-1", WindowArgument::Number(-1), foreground},
      {"-5", WindowArgument::Number(-5), foreground},
      {"-2^40", WindowArgument::Number(-1099511627776.0), foreground},
      {"-0.4", WindowArgument::Number(-0.4), foreground},
      {"123", WindowArgument::Number(123), 123},
      {"0.4 rounds to no window", WindowArgument::Number(0.4), 0},
      {"0.5 rounds to even", WindowArgument::Number(0.5), 0},
      {"1.5 rounds to even", WindowArgument::Number(1.5), 2},
      {"2.5 rounds to even", WindowArgument::Number(2.5), 2},
      {"2.51", WindowArgument::Number(2.51), 3},
      {"largest", WindowArgument::Number(2147483647.0), 2147483647},
      {"just below rounding up", WindowArgument::Number(2147483647.49), 2147483647},
      {"class with an untitled window", WindowArgument::Text(u"ClientFrame"), 0x777},
      {"unknown class", WindowArgument::Text(u"NoSuchClass"), 0},
      {"empty text", WindowArgument::Text(u""), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto poster = MakePoster();
    Manager().foreground = foreground;
    Manager().untitled_windows_by_class[u"ClientFrame"] = 0x777;
    Manager().parents.clear();
    thread_.setParentWindow(0x999);

    poster->SetParentWindow(c.argument);

    EXPECT_EQ(thread_.parentWindow(), c.parent);
    EXPECT_EQ(Manager().parents,
              (std::map<WindowHandle, WindowHandle>{{poster->Hwnd(), c.parent}}));
  }
}

TEST_F(PosterWindowTest, SetParentWindowOverflowChangesNothing) {
  for (double value : {2147483648.0, 2147483647.5, 1e300, 4294967296.0 + 123}) {
    SCOPED_TRACE(value);
    auto poster = MakePoster();
    Manager().parents.clear();
    thread_.setParentWindow(0x999);
    EXPECT_EQ(ThrownCode([&] { poster->SetParentWindow(WindowArgument::Number(value)); }),
              ErrorCode::Overflow);
    EXPECT_EQ(thread_.parentWindow(), 0x999);
    EXPECT_TRUE(Manager().parents.empty());
  }
}

TEST_F(PosterWindowTest, CreatingAPosterAttachesTheWindowToTheForeground) {
  Manager().foreground = 0x1234;
  auto first = MakePoster();
  EXPECT_EQ(thread_.parentWindow(), 0x1234);
  EXPECT_EQ(Manager().parents[first->Hwnd()], 0x1234);
  // Each creation re-parents the shared window.
  Manager().foreground = 0x5678;
  auto second = MakePoster();
  EXPECT_EQ(first->Hwnd(), second->Hwnd());
  EXPECT_EQ(Manager().parents[first->Hwnd()], 0x5678);
  EXPECT_EQ(platform_.windowsCreated(), 1);
}

TEST_F(PosterWindowTest, CaptionAndLocation) {
  auto poster = MakePoster();
  EXPECT_EQ(poster->Caption(), u"Sirel Messages");
  for (bool visible : {false, true}) {
    SCOPED_TRACE(visible);
    poster->SetFormVisible(ToVBool(visible));
    const std::u16string title = visible ? u"T\u00e9 \u4e2d" : u"";
    poster->SetCaption(title);
    EXPECT_EQ(poster->Caption(), title);
  }
  poster->SetLocation(120.5f, -30.25f);
  EXPECT_EQ(poster->Top(), 120.5f);
  EXPECT_EQ(poster->Left(), -30.25f);
}

TEST_F(PosterWindowTest, ClosedWindowReloadsWithDesignState) {
  auto poster = MakePoster();
  const WindowHandle handle = poster->Hwnd();
  poster->SetCaption(u"Mine");
  poster->SetLocation(100, 200);
  poster->SetFormVisible(kTrue);
  poster->DoSirel(u"T", 1);

  Window().Close();

  EXPECT_EQ(poster->Caption(), u"Sirel Messages");
  EXPECT_EQ(poster->Top(), 0.0f);
  EXPECT_EQ(poster->Count(), 0);
  EXPECT_FALSE(Window().IsVisible());
  EXPECT_EQ(poster->FormVisible(), kTrue);  // the flag is the client's, not the window's
  EXPECT_EQ(poster->Hwnd(), handle);
}

}  // namespace
}  // namespace sirel
