// The message window as the core uses it: made hidden by the first poster of a thread, shared
// by the thread's posters, one per thread, its design, and closing and loading it afresh.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "win32/resource_ids.h"
#include "win32/live_windows.h"
#include "win32/native_platform.h"
#include "core/errors.h"
#include "poster/poster.h"
#include "support/thrown_code.h"
#include "win32_test_support.h"

namespace sirel::win32 {
namespace {

using test_support::ThrownCode;

using testing::CloseThroughFrame;
using testing::FreshWindowTest;
using testing::Height;
using testing::ParentOf;
using testing::ScreenRect;
using testing::ThreadWindow;
using testing::Width;

class MessageWindowTest : public FreshWindowTest {};

TEST_F(MessageWindowTest, FirstPosterMakesItHiddenAndEmptyAndTheNextSharesIt) {
  Poster first(ThreadState::Current());
  first.Initialize();
  HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(first.Hwnd()));
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(ThreadWindow().listBox().ListCount(), 0);

  Poster second(ThreadState::Current());
  second.Initialize();
  EXPECT_EQ(second.Hwnd(), first.Hwnd());
  first.DoSirel(u"from the first");
  second.DoSirel(u"from the second");
  EXPECT_EQ(ThreadWindow().listBox().ListCount(), 2);
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(MessageWindowTest, PosterOnAnotherThreadGetsItsOwnWindow) {
  Poster here(ThreadState::Current());
  here.Initialize();
  const LONG liveBefore = LiveWindowCount();

  std::atomic<WindowHandle> there{0};
  DWORD ownerThread = 0;
  DWORD otherThread = 0;
  bool hidden = false;
  std::atomic<bool> posted{false};
  std::thread other([&] {
    Poster poster(ThreadState::Current());
    poster.Initialize();
    poster.DoSirel(u"elsewhere");
    there = poster.Hwnd();
    HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(poster.Hwnd()));
    ownerThread = GetWindowThreadProcessId(hwnd, nullptr);
    otherThread = GetCurrentThreadId();
    hidden = !IsWindowVisible(hwnd);
    posted = true;
  });
  // This thread keeps pumping, as a host's user-interface thread does: the other thread's window
  // may have been attached to one of this thread's windows, and then both threads take part in
  // re-parenting and destroying it.
  while (!posted || IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(there)))) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    testing::PumpMessages();
  }
  other.join();

  const WindowHandle theirs = there;
  EXPECT_NE(theirs, 0);
  EXPECT_NE(theirs, here.Hwnd());
  EXPECT_EQ(ownerThread, otherThread);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(ThreadWindow().listBox().ListCount(), 0) << "the other thread's line is not here";
  // The thread's window went with the thread.
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(theirs))));
  EXPECT_EQ(LiveWindowCount(), liveBefore);
}

TEST_F(MessageWindowTest, HasItsDesignSizeTitleFrameAndIcon) {
  MessageForm& window = ThreadWindow();
  HWND hwnd = window.hwnd();
  const TwipScale& scale = window.scale();

  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(Width(client), scale.ToPixels(7965.0f));
  EXPECT_EQ(Height(client), scale.ToPixels(1500.0f));
  if (scale.dpi() == 96) {
    EXPECT_EQ(Width(client), 531);
    EXPECT_EQ(Height(client), 100);
  }

  wchar_t title[64] = {};
  GetWindowTextW(hwnd, title, 64);
  EXPECT_STREQ(title, L"Sirel Messages");
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME) << "sizable";
  EXPECT_FALSE(style & WS_VISIBLE);
  EXPECT_EQ(GetMenu(hwnd), nullptr) << "no menu bar";
  EXPECT_NE(GetClassLongPtrW(hwnd, GCLP_HICON), 0);
  EXPECT_NE(GetClassLongPtrW(hwnd, GCLP_HICONSM), 0);

  // The list: at the client origin, extended selection, unsorted, integral height.
  HWND listbox = window.listBox().hwnd();
  RECT list = ScreenRect(listbox);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  EXPECT_EQ(list.left, origin.x);
  EXPECT_EQ(list.top, origin.y);
  const LONG_PTR listStyle = GetWindowLongPtrW(listbox, GWL_STYLE);
  EXPECT_TRUE(listStyle & LBS_EXTENDEDSEL);
  EXPECT_FALSE(listStyle & LBS_SORT);
  EXPECT_FALSE(listStyle & LBS_NOINTEGRALHEIGHT);
  EXPECT_TRUE(IsWindowUnicode(listbox));
}

// The icon resource: one group holding a 32x32 and a 16x16 image, both of 16 colours.
TEST(WindowIconTest, HasLargeAndSmallSixteenColourImages) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
  };
  struct GroupHeader {
    WORD reserved, type, count;
  };
#pragma pack(pop)
  HMODULE module = ThisModule();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDI_SIREL_MESSAGES), MAKEINTRESOURCEW(14));
  ASSERT_NE(found, nullptr);
  const auto* header = static_cast<const GroupHeader*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(header, nullptr);
  ASSERT_EQ(header->count, 2);
  const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
  EXPECT_EQ(entries[0].width, 32);
  EXPECT_EQ(entries[0].height, 32);
  EXPECT_EQ(entries[1].width, 16);
  EXPECT_EQ(entries[1].height, 16);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].colours, 16);
    EXPECT_EQ(entries[i].bitCount, 4);
  }
}

TEST_F(MessageWindowTest, CaptionChangesAtOnceWhileHiddenOrShown) {
  Poster poster(ThreadState::Current());
  poster.Initialize();
  HWND hwnd = ThreadWindow().hwnd();
  EXPECT_EQ(poster.Caption(), u"Sirel Messages");

  const std::u16string texts[] = {u"Build log", u"caf\u00e9 \u4e2d\u6587 \U0001F600", u""};
  for (const std::u16string& text : texts) {
    poster.SetCaption(text);
    EXPECT_EQ(poster.Caption(), text);
    EXPECT_FALSE(IsWindowVisible(hwnd));
  }
  poster.SetFormVisible(kTrue);
  poster.SetCaption(u"shown");
  EXPECT_EQ(poster.Caption(), u"shown");
  wchar_t title[32] = {};
  GetWindowTextW(hwnd, title, 32);
  EXPECT_STREQ(title, L"shown");
}

TEST_F(MessageWindowTest, FormVisibleShowsAndHidesKeepingTheLines) {
  Poster poster(ThreadState::Current());
  poster.Initialize();
  poster.DoSirel(u"kept");
  HWND hwnd = ThreadWindow().hwnd();

  poster.SetFormVisible(kTrue);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr) << "modeless, no owner";
  poster.SetFormVisible(kTrue);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  poster.SetFormVisible(kFalse);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  poster.SetFormVisible(kTrue);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(poster.LastMessage(), u"kept");
  poster.SetFormVisible(kFalse);
}

// Every paint of the list slowed (a slow display, a remote session) and counted.
WNDPROC g_list_proc = nullptr;
int g_list_paints = 0;
LRESULT CALLBACK SlowPaintingList(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    ++g_list_paints;
    Sleep(30);
  }
  return CallWindowProcW(g_list_proc, hwnd, message, wParam, lParam);
}

// However long a paint takes, the newest line is drawn at once after a pause (a script may then
// wait in Wine's Popup, running no messages), and when the thread next runs its messages else.
TEST_F(MessageWindowTest, TheNewestLineIsDrawnWhateverThePaintCost) {
  Poster poster(ThreadState::Current());
  poster.SetFormVisible(kTrue);
  const HWND list = ThreadWindow().listBox().hwnd();
  g_list_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SlowPaintingList)));
  poster.DoSirel(u"older");  // drawn at once, slowly: frames stretch to nine times its cost
  for (const bool pause : {true, false}) {
    Sleep(pause ? 100 : 0);
    const int paints = g_list_paints;
    poster.DoSirel(u"newest");
    if (!pause) testing::PumpMessages();
    EXPECT_GT(g_list_paints, paints) << (pause ? "after a pause" : "in a burst");
  }
  SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_list_proc));
  poster.SetFormVisible(kFalse);
}

TEST_F(MessageWindowTest, SetLocationThenTopAndLeftInTwips) {
  Poster poster(ThreadState::Current());
  poster.Initialize();
  ThreadState::Current().windowManager().SetParent(poster.Hwnd(), 0);
  const TwipScale& scale = ThreadWindow().scale();
  const float perPixel = 1440.0f / static_cast<float>(scale.dpi());

  struct Case {
    float top, left;
  };
  const Case cases[] = {{1500.0f, 3000.0f}, {0.0f, 0.0f}, {-750.0f, 15.0f}, {1000.0f, 2000.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.top << ", " << c.left);
    poster.SetLocation(c.top, c.left);
    // The window stands on the nearest pixel.
    EXPECT_NEAR(poster.Top(), c.top, perPixel / 2);
    EXPECT_NEAR(poster.Left(), c.left, perPixel / 2);
    const RECT rect = ScreenRect(ThreadWindow().hwnd());
    EXPECT_EQ(rect.top, scale.ToPixels(c.top));
    EXPECT_EQ(rect.left, scale.ToPixels(c.left));
  }
}

TEST_F(MessageWindowTest, PositionIsInTheParentsClientAreaWhenParented) {
  testing::HostWindow host;
  Poster poster(ThreadState::Current());
  poster.Initialize();
  poster.SetParentWindow(WindowArgument::Number(static_cast<double>(
      reinterpret_cast<INT_PTR>(host.hwnd()))));
  ASSERT_EQ(ParentOf(ThreadWindow().hwnd()), host.hwnd());

  poster.SetLocation(300.0f, 450.0f);
  const TwipScale& scale = ThreadWindow().scale();
  POINT clientOrigin{0, 0};
  ClientToScreen(host.hwnd(), &clientOrigin);
  const RECT rect = ScreenRect(ThreadWindow().hwnd());
  EXPECT_EQ(rect.top - clientOrigin.y, scale.ToPixels(300.0f));
  EXPECT_EQ(rect.left - clientOrigin.x, scale.ToPixels(450.0f));
  EXPECT_FLOAT_EQ(poster.Top(), 300.0f);
  EXPECT_FLOAT_EQ(poster.Left(), 450.0f);
}

TEST_F(MessageWindowTest, SetLocationBeyondThePixelRangeIsAnOverflow) {
  Poster poster(ThreadState::Current());
  poster.Initialize();
  poster.SetLocation(150.0f, 150.0f);
  EXPECT_EQ(ThrownCode([&] { poster.SetLocation(1e30f, 0.0f); }), ErrorCode::Overflow);
  EXPECT_FLOAT_EQ(poster.Top(), 150.0f);
}

TEST_F(MessageWindowTest, ClosingThroughTheFrameUnloadsAndTheNextUseLoadsAfresh) {
  testing::HostWindow host;
  Poster poster(ThreadState::Current());
  poster.Initialize();
  poster.SetParentWindow(WindowArgument::Number(static_cast<double>(
      reinterpret_cast<INT_PTR>(host.hwnd()))));
  poster.SetCaption(u"changed");
  poster.DoSirel(u"gone with the window");
  poster.SetFormVisible(kTrue);
  MessageForm& window = ThreadWindow();
  HWND first = window.hwnd();
  const LONG live = LiveWindowCount();

  CloseThroughFrame(window);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_EQ(LiveWindowCount(), live - 1);

  // Any member that needs the window loads it again: design title, hidden, empty, no parent.
  EXPECT_EQ(poster.Caption(), u"Sirel Messages");
  HWND second = window.hwnd();
  ASSERT_TRUE(IsWindow(second));
  EXPECT_EQ(&ThreadWindow(), &window) << "the slot keeps the same window object";
  EXPECT_FALSE(IsWindowVisible(second));
  EXPECT_EQ(poster.Count(), 0);
  EXPECT_EQ(ParentOf(second), nullptr);
  EXPECT_EQ(LiveWindowCount(), live);
  RECT client{};
  GetClientRect(second, &client);
  EXPECT_EQ(Width(client), window.scale().ToPixels(7965.0f));
  EXPECT_EQ(Height(client), window.scale().ToPixels(1500.0f));

  poster.DoSirel(u"again");
  EXPECT_EQ(poster.LastMessage(), u"again");
}

TEST_F(MessageWindowTest, DestroyingTheObjectOnItsThreadDestroysTheWindow) {
  const LONG live = LiveWindowCount();
  HWND hwnd = nullptr;
  {
    MessageForm window(ThisModule());
    window.EnsureLoaded();
    hwnd = window.hwnd();
    EXPECT_EQ(LiveWindowCount(), live + 1);
  }
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(LiveWindowCount(), live);
}

}  // namespace
}  // namespace sirel::win32
