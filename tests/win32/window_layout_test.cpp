// The list follows the window's size with real sizes: margins captured at load, every change of
// the window's size applied to the list, and sizes below the margins never applied.
#include <windows.h>

#include <gtest/gtest.h>

#include "thread/thread_state.h"
#include "win32/hwnd_value.h"
#include "win32/window_dpi.h"
#include "win32_test_support.h"

namespace sirel::win32 {
namespace {

using testing::Height;
using testing::ScreenRect;
using testing::ThreadWindow;
using testing::Width;

class WindowLayoutTest : public testing::FreshWindowTest {
 protected:
  void SetUp() override {
    FreshWindowTest::SetUp();
    window_ = &ThreadWindow();
    for (int i = 0; i < 40; ++i) window_->listBox().AddItem(u"line");
  }
  float Twips(int pixels) const { return window_->scale().ToTwips(pixels); }
  void Resize(int width, int height) {
    SetWindowPos(window_->hwnd(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    testing::PumpMessages();
  }
  RECT Frame() const { return ScreenRect(window_->hwnd()); }
  RECT List() const { return ScreenRect(window_->listBox().hwnd()); }
  int RowHeight() const {
    return static_cast<int>(SendMessageW(window_->listBox().hwnd(), LB_GETITEMHEIGHT, 0, 0));
  }

  MessageForm* window_ = nullptr;
};

TEST_F(WindowLayoutTest, MarginsAreTheGapAtLoadPlusTwentyTwips) {
  // The list was made 7900 x 1425 twips (its height snapped to whole rows); the margins take
  // the window's outer size less that, plus 20, so the first layout made the list 20 twips
  // smaller: one pixel (rounded) at 96 DPI.
  const float perPixel = Twips(1);
  const RECT frame = Frame();
  const RECT list = List();
  EXPECT_NEAR(Twips(Width(list)), Twips(Width(frame)) - window_->margins().width, perPixel / 2);
  EXPECT_NEAR(Twips(Width(list)), 7900.0f - 20.0f, perPixel);
  EXPECT_GT(window_->margins().width, 20.0f);
  EXPECT_GT(window_->margins().height, 20.0f);
  // The height is the layout's, less at most one row of snapping.
  const float laidOut = Twips(Height(frame)) - window_->margins().height;
  EXPECT_LE(Twips(Height(list)), laidOut + perPixel / 2);
  EXPECT_GT(Twips(Height(list)), laidOut - Twips(RowHeight()) - perPixel);
}

TEST_F(WindowLayoutTest, WiderAndTallerWindowWidensAndHeightensTheList) {
  const RECT frame = Frame();
  const RECT list = List();
  const int moreWide = window_->scale().ToPixels(1000.0f);
  const int moreHigh = window_->scale().ToPixels(500.0f);

  Resize(Width(frame) + moreWide, Height(frame) + moreHigh);

  const RECT grownFrame = Frame();
  const RECT grownList = List();
  ASSERT_EQ(Width(grownFrame), Width(frame) + moreWide);
  ASSERT_EQ(Height(grownFrame), Height(frame) + moreHigh);
  // 1000 twips is 66.7 pixels at 96 DPI: the window grows by whole pixels, the list with it.
  EXPECT_NEAR(Twips(Width(grownList) - Width(list)), 1000.0f, Twips(1));
  EXPECT_EQ(Width(grownList) - Width(list), moreWide);
  // The height the layout asks for grows as much; the list then snaps it down to whole rows.
  const int wanted = window_->scale().ToPixels(Twips(Height(frame)) - window_->margins().height);
  const int wantedNow =
      window_->scale().ToPixels(Twips(Height(grownFrame)) - window_->margins().height);
  EXPECT_EQ(wantedNow - wanted, moreHigh);
  EXPECT_LE(Height(grownList), wantedNow);
  EXPECT_GT(Height(grownList), wantedNow - RowHeight());
  EXPECT_EQ((Height(grownList) - Height(list)) % RowHeight(), 0)
      << "both heights are whole rows plus the same border";
  EXPECT_EQ(window_->listBox().ListCount(), 40);
}

TEST_F(WindowLayoutTest, TooSmallAWindowKeepsTheListAndItsLinesAndGrowingResizesAgain) {
  const RECT frame = Frame();
  const RECT list = List();

  Resize(1, 1);  // the window system keeps a sizable frame above its smallest tracking size
  const RECT tiny = Frame();
  ASSERT_TRUE(IsWindow(window_->hwnd()));
  EXPECT_EQ(window_->listBox().ListCount(), 40);
  const RECT tinyList = List();
  EXPECT_GE(Width(tinyList), 0);
  EXPECT_GE(Height(tinyList), 0);
  if (Twips(Height(tiny)) < window_->margins().height) {
    EXPECT_EQ(Height(tinyList), Height(list)) << "a negative height is never applied";
  }
  if (Twips(Width(tiny)) < window_->margins().width) {
    EXPECT_EQ(Width(tinyList), Width(list)) << "a negative width is never applied";
    EXPECT_EQ(Height(tinyList), Height(list)) << "and the height is skipped with it";
  }

  const int moreWide = window_->scale().ToPixels(1000.0f);
  Resize(Width(frame) + moreWide, Height(frame));
  EXPECT_EQ(Width(List()), Width(list) + moreWide);
  EXPECT_EQ(Height(List()), Height(list));
  EXPECT_EQ(window_->listBox().ListCount(), 40);
}

TEST_F(WindowLayoutTest, MinimisingAndRestoringKeepsTheListAndItsLayout) {
  window_->Show();
  testing::PumpMessages();
  const RECT list = List();

  ShowWindow(window_->hwnd(), SW_MINIMIZE);
  testing::PumpMessages();
  EXPECT_TRUE(IsWindow(window_->hwnd()));
  EXPECT_EQ(window_->listBox().ListCount(), 40);
  EXPECT_GE(Width(List()), 0);
  EXPECT_GE(Height(List()), 0);

  ShowWindow(window_->hwnd(), SW_RESTORE);
  testing::PumpMessages();
  EXPECT_EQ(Width(List()), Width(list));
  EXPECT_EQ(Height(List()), Height(list));
  window_->Hide();
}

TEST_F(WindowLayoutTest, HidingAndShowingKeepsLinesAndLayout) {
  const RECT list = List();
  window_->Show();
  window_->Hide();
  window_->Show();
  testing::PumpMessages();
  EXPECT_EQ(Width(List()), Width(list));
  EXPECT_EQ(Height(List()), Height(list));
  EXPECT_EQ(window_->listBox().ListCount(), 40);
  window_->Hide();
}

// Wine sends no DPI message and its GetDpiForWindow never changes, so the test sends what
// Windows would: WM_DPICHANGED with a suggested rectangle to the top-level window; for a child of
// a frame, the window's new DPI through the seam and then WM_DPICHANGED_AFTERPARENT.
TEST_F(WindowLayoutTest, FollowsTheDpiOfItsMonitorAndComesBack) {
  const int systemDpi = window_->scale().dpi();
  const int otherDpi = systemDpi == 144 ? 192 : 144;
  LOGFONTW systemFont{};
  GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(systemFont), &systemFont);
  static int answeredDpi;
  answeredDpi = systemDpi;
  window_->ReplaceDpiQuery([](HWND) { return answeredDpi; });
  testing::HostWindow host;
  HWND hwnd = window_->hwnd();
  for (const bool child : {false, true}) {
    SCOPED_TRACE(child ? "child of a frame" : "top-level");
    if (child) {
      ThreadState::Current().windowManager().SetParent(window_->Handle(),
                                                       WindowHandleOf(host.hwnd()));
    }
    window_->SetTop(300.0f);
    window_->SetLeft(450.0f);
    // Where the window stands, in its parent's client area or on the screen.
    auto placed = [&] {
      RECT rect = Frame();
      if (child) MapWindowPoints(HWND_DESKTOP, host.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
      return rect;
    };
    const RECT atSystemDpi = placed();
    const RECT listAtSystemDpi = List();
    RECT clientArea{};
    GetClientRect(hwnd, &clientArea);
    const float gapTwips = Twips(Width(clientArea) - Width(listAtSystemDpi));
    for (const int dpi : {otherDpi, systemDpi}) {
      SCOPED_TRACE(dpi);
      const TwipScale scale(dpi);
      RECT expected = atSystemDpi;
      if (dpi != systemDpi) {
        const TwipScale system(systemDpi);
        expected.left = child ? scale.ToPixels(450.0f) : atSystemDpi.left + 10;
        expected.top = child ? scale.ToPixels(300.0f) : atSystemDpi.top + 20;
        expected.right = expected.left + scale.FromPixelsAt(system, Width(atSystemDpi));
        expected.bottom = expected.top + scale.FromPixelsAt(system, Height(atSystemDpi));
      }
      if (child) {
        answeredDpi = dpi;
        SendMessageW(hwnd, kDpiChangedAfterParentMessage, 0, 0);
      } else {
        SendMessageW(hwnd, kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&expected));
      }
      testing::PumpMessages();
      EXPECT_EQ(window_->scale().dpi(), dpi);
      const RECT now = placed();
      EXPECT_TRUE(EqualRect(&now, &expected))
          << now.left << "," << now.top << " " << Width(now) << "x" << Height(now);
      if (child || dpi == systemDpi) {
        EXPECT_FLOAT_EQ(window_->Top(), 300.0f) << "the twips the client set";
        EXPECT_FLOAT_EQ(window_->Left(), 450.0f);
      }
      // The font: none of its own at the system DPI, the default one's face scaled elsewhere.
      const auto font = reinterpret_cast<HFONT>(
          SendMessageW(window_->listBox().hwnd(), WM_GETFONT, 0, 0));
      LOGFONTW face{};
      EXPECT_EQ(font == nullptr, dpi == systemDpi);
      if (font != nullptr && GetObjectW(font, sizeof(face), &face) != 0) {
        EXPECT_EQ(face.lfHeight, MulDiv(systemFont.lfHeight, dpi, systemDpi));
      }
      // The list inside the margins: the gap beside it keeps its twips whatever the frame's
      // borders did; its height is the window's outer height in twips at this DPI less the
      // margin, snapped to whole rows.
      const RECT list = List();
      RECT client{};
      GetClientRect(hwnd, &client);
      EXPECT_LT(Height(list), Height(client));
      EXPECT_NEAR(scale.ToTwips(Width(client) - Width(list)), gapTwips, scale.ToTwips(1));
      const int high = scale.ToPixels(scale.ToTwips(Height(Frame())) - window_->margins().height);
      EXPECT_LE(Height(list), high);
      EXPECT_GT(Height(list), high - RowHeight());
      if (dpi == systemDpi) {
        EXPECT_TRUE(EqualRect(&list, &listAtSystemDpi)) << "as it was";
      }
    }
  }
  window_->ReplaceDpiQuery(nullptr);
}

}  // namespace
}  // namespace sirel::win32
