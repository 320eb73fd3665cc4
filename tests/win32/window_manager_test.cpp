// The window-manager port on the real window system.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/hwnd_value.h"
#include "win32/user32_window_manager.h"
#include "win32_test_support.h"

namespace sirel::win32 {
namespace {

using testing::HostWindow;

TEST(WindowManagerTest, HandlesRoundTripThroughThirtyTwoBits) {
  HostWindow host(L"round trip");
  EXPECT_EQ(HwndOf(WindowHandleOf(host.hwnd())), host.hwnd());
  EXPECT_EQ(WindowHandleOf(nullptr), 0);
  EXPECT_EQ(HwndOf(-1), reinterpret_cast<HWND>(static_cast<INT_PTR>(-1))) << "sign-extended";
}

TEST(WindowManagerTest, ActiveAndForegroundWindows) {
  User32WindowManager manager;
  HostWindow first(L"first");
  HostWindow second(L"second");
  SetForegroundWindow(second.hwnd());
  testing::PumpMessages();
  EXPECT_EQ(manager.GetForegroundWindow(), WindowHandleOf(GetForegroundWindow()));

  manager.SetActiveWindow(WindowHandleOf(first.hwnd()));
  EXPECT_EQ(manager.GetActiveWindow(), WindowHandleOf(first.hwnd()));
  manager.SetActiveWindow(0);  // nothing is done with 0
  EXPECT_EQ(manager.GetActiveWindow(), WindowHandleOf(first.hwnd()));
}

TEST(WindowManagerTest, FindsOnlyUntitledWindowsOfTheClass) {
  User32WindowManager manager;
  HostWindow titled(L"titled", L"SirelFindTitled");
  HostWindow untitled(L"", L"SirelFindUntitled");
  EXPECT_EQ(manager.FindUntitledWindowOfClass(u"SirelFindUntitled"), WindowHandleOf(untitled.hwnd()));
  EXPECT_EQ(manager.FindUntitledWindowOfClass(u"SirelFindTitled"), 0);
  EXPECT_EQ(manager.FindUntitledWindowOfClass(u"SirelNoSuchClass"), 0);
  EXPECT_EQ(manager.FindUntitledWindowOfClass(u""), 0);
}

TEST(WindowManagerTest, SetParentAttachesAndZeroDetaches) {
  User32WindowManager manager;
  HostWindow parent(L"parent");
  HostWindow child(L"child");
  manager.SetParent(WindowHandleOf(child.hwnd()), WindowHandleOf(parent.hwnd()));
  EXPECT_EQ(testing::ParentOf(child.hwnd()), parent.hwnd());
  manager.SetParent(WindowHandleOf(child.hwnd()), 0);
  EXPECT_EQ(testing::ParentOf(child.hwnd()), nullptr);
}

}  // namespace
}  // namespace sirel::win32
