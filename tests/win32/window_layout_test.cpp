// The list follows the window's size with real sizes: margins captured at load, every change of
// the window's size applied to the list, and sizes below the margins never applied.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace sirel::win32
