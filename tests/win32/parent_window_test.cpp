// SetParentWindow with each kind of value, through the core poster, against real windows: the
// parent the window system records afterwards is the one the value chose.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "core/errors.h"
#include "poster/poster.h"
#include "support/thrown_code.h"
#include "win32_test_support.h"

namespace sirel::win32 {
namespace {

using test_support::ThrownCode;

using testing::HostWindow;
using testing::ParentOf;
using testing::ThreadWindow;

double NumberOf(HWND hwnd) { return static_cast<double>(reinterpret_cast<INT_PTR>(hwnd)); }

class ParentWindowTest : public testing::FreshWindowTest {
 protected:
  void SetUp() override {
    FreshWindowTest::SetUp();
    poster_.Initialize();
  }
  HWND MessageWindow() { return ThreadWindow().hwnd(); }
  void Unparent() { poster_.SetParentWindow(WindowArgument::Text(u"no class has this name")); }
  // Wine makes a window that leaves its parent for the desktop the foreground window, even a
  // hidden one; the tests choose the foreground window after each such step.
  HWND BringToForeground(HWND hwnd) {
    SetForegroundWindow(hwnd);
    testing::PumpMessages();
    HWND foreground = GetForegroundWindow();
    EXPECT_EQ(foreground, hwnd);
    return foreground;
  }

  Poster poster_{ThreadState::Current()};
};

TEST_F(ParentWindowTest, ZeroAndNegativeNumbersTakeTheForegroundWindow) {
  HostWindow host(L"foreground");
  const double values[] = {0.0, -1.0, -5.0, -0.4, -2147483648.0 * 4};
  for (double value : values) {
    SCOPED_TRACE(value);
    Unparent();
    ASSERT_EQ(ParentOf(MessageWindow()), nullptr);
    HWND foreground = BringToForeground(host.hwnd());
    poster_.SetParentWindow(WindowArgument::Number(value));
    EXPECT_EQ(ThreadState::Current().parentWindow(),
              static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(foreground)));
    EXPECT_EQ(ParentOf(MessageWindow()), foreground);
  }
}

TEST_F(ParentWindowTest, PositiveNumberIsTheHandleItself) {
  HostWindow host(L"by handle");
  poster_.SetParentWindow(WindowArgument::Number(NumberOf(host.hwnd())));
  EXPECT_EQ(ParentOf(MessageWindow()), host.hwnd());
  EXPECT_EQ(GetAncestor(MessageWindow(), GA_ROOT), host.hwnd());

  // A handle that names no window (any more) is kept, and the failed re-parenting is no error.
  HWND gone = nullptr;
  {
    HostWindow closed(L"closed");
    gone = closed.hwnd();
  }
  ASSERT_FALSE(IsWindow(gone));
  Unparent();
  poster_.SetParentWindow(WindowArgument::Number(NumberOf(gone)));
  EXPECT_EQ(ThreadState::Current().parentWindow(),
            static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(gone)));
  EXPECT_EQ(ParentOf(MessageWindow()), nullptr);

  // A small number is taken as it is, as the handle 123.
  poster_.SetParentWindow(WindowArgument::Number(123));
  EXPECT_EQ(ThreadState::Current().parentWindow(), 123);
}

TEST_F(ParentWindowTest, NumberBeyondThirtyTwoBitsIsAnOverflowAndChangesNothing) {
  HostWindow host(L"kept");
  poster_.SetParentWindow(WindowArgument::Number(NumberOf(host.hwnd())));
  const WindowHandle before = ThreadState::Current().parentWindow();

  for (double value : {2147483648.0, 3e9, 1e300}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(ThrownCode([&] { poster_.SetParentWindow(WindowArgument::Number(value)); }), ErrorCode::Overflow);
    EXPECT_EQ(ThreadState::Current().parentWindow(), before);
    EXPECT_EQ(ParentOf(MessageWindow()), host.hwnd());
  }
}

TEST_F(ParentWindowTest, TextFindsAnUntitledTopLevelWindowOfThatClass) {
  HostWindow titled(L"has a title", L"SirelTitledHost");
  HostWindow untitled(L"", L"SirelUntitledHost");

  poster_.SetParentWindow(WindowArgument::Text(u"SirelUntitledHost"));
  EXPECT_EQ(ParentOf(MessageWindow()), untitled.hwnd());

  // Only untitled windows match, and a class with none leaves the window on the desktop.
  poster_.SetParentWindow(WindowArgument::Text(u"SirelTitledHost"));
  EXPECT_EQ(ThreadState::Current().parentWindow(), 0);
  EXPECT_EQ(ParentOf(MessageWindow()), nullptr);

  poster_.SetParentWindow(WindowArgument::Text(u"SirelUntitledHost"));
  poster_.SetParentWindow(WindowArgument::Text(u"no class has this name"));
  EXPECT_EQ(ThreadState::Current().parentWindow(), 0);
  EXPECT_EQ(ParentOf(MessageWindow()), nullptr);
}

TEST_F(ParentWindowTest, CreatingAPosterAttachesTheWindowToTheForegroundWindow) {
  HostWindow host(L"foreground at creation");
  Unparent();
  HWND foreground = BringToForeground(host.hwnd());

  Poster another(ThreadState::Current());
  another.Initialize();
  EXPECT_EQ(ParentOf(MessageWindow()), foreground);
  EXPECT_FALSE(IsWindowVisible(MessageWindow())) << "attaching never shows the window";
}

}  // namespace
}  // namespace sirel::win32
