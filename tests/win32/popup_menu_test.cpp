// The pop-up menu and the keys of the list: which button opens the menu, what it holds, that
// the right button leaves the selection alone, that a chosen item's command runs before the
// handler returns, and that a failing command is reported to the user, not to the host.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <tuple>
#include <vector>

#include "core/errors.h"
#include "win32_test_support.h"

namespace sirel::win32 {
namespace {

using testing::HeldKeys;
using testing::LinePoint;
using testing::MenuWatcher;
using testing::MessageBoxWatcher;
using testing::PumpMessages;
using testing::ThreadWindow;

// Records the items it is asked to run; throws the given error when set.
class RecordingCommands final : public MenuCommandRunner {
 public:
  explicit RecordingCommands(std::vector<MenuItem>* ran) : ran_(ran) {}
  void Run(MenuItem item) override {
    ran_->push_back(item);
    if (during) std::exchange(during, nullptr)();
    if (fail_with_ != 0) throw SirelError(static_cast<ErrorCode>(fail_with_));
    if (fail_plainly_) throw std::runtime_error("plain failure");
    if (fail_out_of_memory_) throw std::bad_alloc();
  }
  int fail_with_ = 0;
  bool fail_plainly_ = false;
  bool fail_out_of_memory_ = false;
  // Runs inside the next command, as the user's actions while its dialog is open.
  std::function<void()> during;

 private:
  std::vector<MenuItem>* ran_;
};

class PopupMenuTest : public testing::FreshWindowTest {
 protected:
  void SetUp() override {
    FreshWindowTest::SetUp();
    window_ = &ThreadWindow();
    auto commands = std::make_unique<RecordingCommands>(&ran_);
    commands_ = commands.get();
    window_->ReplaceMenuCommands(std::move(commands));
    for (const char16_t* line : {u"zero", u"one", u"two", u"three"}) window_->listBox().AddItem(line);
    window_->Show();
    PumpMessages();
  }
  void TearDown() override {
    window_->Hide();
    FreshWindowTest::TearDown();
  }
  HWND Listbox() const { return window_->listBox().hwnd(); }
  // Posts a button's press and release over a line, as the mouse would, and lets them run.
  void ClickLine(int index, UINT down, UINT up, WPARAM keys = 0) {
    const POINT at = LinePoint(Listbox(), index);
    PostMessageW(Listbox(), down, keys, MAKELPARAM(at.x, at.y));
    PostMessageW(Listbox(), up, 0, MAKELPARAM(at.x, at.y));
    PumpMessages();
  }
  void PostKey(WPARAM key, UINT message = WM_KEYDOWN) {
    PostMessageW(Listbox(), message, key, 1);
    PumpMessages();
  }
  std::vector<int> SelectedLines() {
    std::vector<int> lines;
    for (std::int16_t i = 0; i < window_->listBox().ListCount(); ++i) {
      if (window_->listBox().Selected(i) == kTrue) lines.push_back(i);
    }
    return lines;
  }

  MessageForm* window_ = nullptr;
  RecordingCommands* commands_ = nullptr;
  std::vector<MenuItem> ran_;
};

TEST_F(PopupMenuTest, RightButtonReleaseOpensTheSevenItemsAtThePointer) {
  MenuWatcher watcher;
  ClickLine(1, WM_RBUTTONDOWN, WM_RBUTTONUP);

  ASSERT_EQ(watcher.opened().size(), 1u);
  const std::vector<std::wstring> expected = {
      L"&Copy Selected Sirels", L"Copy &All", L"&Clear", L"&Delete Selected Messages",
      L"&Export To File", L"&Hide", L"A&bout"};
  EXPECT_EQ(watcher.opened()[0].captions, expected);
  POINT at = LinePoint(Listbox(), 1);
  ClientToScreen(Listbox(), &at);
  EXPECT_EQ(watcher.opened()[0].screen.left, at.x) << "the menu's left edge at the pointer";
  EXPECT_EQ(watcher.opened()[0].screen.top, at.y);
  EXPECT_TRUE(ran_.empty()) << "dismissing the menu runs nothing";

  // No separators, nothing checked or greyed.
  HMENU form = window_->formMenu();
  for (int i = 0; i < GetMenuItemCount(form); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuState(form, static_cast<UINT>(i), MF_BYPOSITION) &
                  (MF_SEPARATOR | MF_CHECKED | MF_GRAYED | MF_DISABLED),
              0u);
  }
}

TEST_F(PopupMenuTest, OtherButtonsOpenNothing) {
  MenuWatcher watcher;
  ClickLine(1, WM_LBUTTONDOWN, WM_LBUTTONUP);
  ClickLine(2, WM_MBUTTONDOWN, WM_MBUTTONUP);
  ClickLine(2, WM_XBUTTONDOWN, WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON1));
  EXPECT_TRUE(watcher.opened().empty());
  // A right press without its release opens nothing either.
  const POINT at = LinePoint(Listbox(), 0);
  PostMessageW(Listbox(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  PumpMessages();
  EXPECT_TRUE(watcher.opened().empty());
}

TEST_F(PopupMenuTest, RightButtonChangesNeitherSelectionNorCurrentLine) {
  ListBoxList& list = window_->listBox();
  list.SelectOnly(2);
  list.SetSelected(0, true);
  const std::vector<int> before = SelectedLines();
  ASSERT_EQ(before, (std::vector<int>{0, 2}));
  const std::int16_t current = list.ListIndex();

  MenuWatcher watcher;
  ClickLine(1, WM_RBUTTONDOWN, WM_RBUTTONUP);
  ClickLine(3, WM_RBUTTONDBLCLK, WM_RBUTTONUP);

  EXPECT_EQ(watcher.opened().size(), 2u);
  EXPECT_EQ(SelectedLines(), before);
  EXPECT_EQ(list.ListIndex(), current);
  EXPECT_EQ(list.SelCount(), 2);
}

TEST_F(PopupMenuTest, ChosenItemRunsItsCommandBeforeTheHandlerReturns) {
  struct Case {
    wchar_t accessKey;
    MenuItem item;
  };
  const Case cases[] = {{L'a', MenuItem::CopyAll},  {L'd', MenuItem::Delete},
                        {L'e', MenuItem::Export},   {L'h', MenuItem::Hide},
                        {L'b', MenuItem::About}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<char>(c.accessKey));
    ran_.clear();
    MenuWatcher watcher({WM_CHAR, c.accessKey});
    const POINT at = LinePoint(Listbox(), 0);
    // Sent, not posted: the command has run by the time the release's handler returns.
    SendMessageW(Listbox(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(ran_, std::vector<MenuItem>{c.item});
  }
}

TEST_F(PopupMenuTest, KeysRunCommandsAndOpenTheMenuAtTheCurrentLine) {
  ListBoxList& list = window_->listBox();
  list.SelectOnly(2);
  {
    HeldKeys control({VK_CONTROL});
    PostKey('C');
  }
  PostKey(VK_DELETE);
  EXPECT_EQ(ran_, (std::vector<MenuItem>{MenuItem::Copy, MenuItem::Delete}));

  {
    HeldKeys control({VK_CONTROL});
    PostKey('A');
  }
  EXPECT_EQ(list.SelCount(), 4);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 1, 2, 3}));

  MenuWatcher watcher;
  {
    HeldKeys shift({VK_SHIFT});
    PostKey(VK_F10, WM_SYSKEYDOWN);
    PostKey(VK_F10, WM_SYSKEYUP);
  }
  PostKey(VK_APPS);
  PostKey(VK_APPS, WM_KEYUP);
  PostMessageW(Listbox(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Listbox()), -1);
  PumpMessages();
  ASSERT_EQ(watcher.opened().size(), 3u) << "Shift+F10, the menu key, and a keyboard WM_CONTEXTMENU";
  RECT line{};
  SendMessageW(Listbox(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&line));
  POINT under{line.left, line.bottom};
  ClientToScreen(Listbox(), &under);
  EXPECT_EQ(watcher.opened()[0].screen.left, under.x);
  EXPECT_EQ(watcher.opened()[0].screen.top, under.y);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 1, 2, 3}));

  // Ctrl+F opens the find bar below a shorter list; typing finds, F3 the next match (wrapping),
  // a text without a match moves nothing, Escape gives the whole height back.
  RECT full{};
  GetWindowRect(Listbox(), &full);
  {
    HeldKeys control({VK_CONTROL});
    PostKey('F');
  }
  HWND bar = GetFocus();
  ASSERT_NE(bar, Listbox());
  ASSERT_TRUE(IsWindowVisible(bar));
  RECT shorter{};
  GetWindowRect(Listbox(), &shorter);
  EXPECT_LT(shorter.bottom, full.bottom);
  for (const auto& [text, key, expected] : {std::tuple{L"T", 0, std::vector<int>{2}},
                                            std::tuple{L"T", VK_F3, std::vector<int>{3}},
                                            std::tuple{L"T", VK_F3, std::vector<int>{2}},
                                            std::tuple{L"Tq", 0, std::vector<int>{2}}}) {
    SetWindowTextW(bar, text);
    if (key != 0) PostKey(key);
    PumpMessages();
    EXPECT_EQ(SelectedLines(), expected) << "after " << key;
  }
  PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
  PumpMessages();
  EXPECT_EQ(GetFocus(), Listbox());
  GetWindowRect(Listbox(), &shorter);
  EXPECT_EQ(shorter.bottom, full.bottom);
}

TEST_F(PopupMenuTest, FailingCommandIsReportedToTheUserAndTheWindowLivesOn) {
  MessageBoxWatcher boxes;
  commands_->fail_with_ = static_cast<int>(ErrorCode::ClipboardOpen);
  {
    MenuWatcher watcher({WM_CHAR, L'a'});
    const POINT at = LinePoint(Listbox(), 0);
    SendMessageW(Listbox(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }
  commands_->fail_with_ = 0;
  commands_->fail_plainly_ = true;
  PostKey(VK_DELETE);
  commands_->fail_plainly_ = false;
  commands_->fail_out_of_memory_ = true;
  PostKey(VK_DELETE);

  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.shown()[0].title, L"Sirel Messages");
  EXPECT_NE(boxes.shown()[0].text.find(L"Copy All"), std::wstring::npos) << boxes.shown()[0].text;
  EXPECT_NE(boxes.shown()[0].text.find(L"Can't open Clipboard"), std::wstring::npos);
  EXPECT_NE(boxes.shown()[0].text.find(L"521"), std::wstring::npos);
  EXPECT_NE(boxes.shown()[1].text.find(L"Delete Selected Messages"), std::wstring::npos);
  EXPECT_NE(boxes.shown()[1].text.find(L"plain failure"), std::wstring::npos);
  EXPECT_NE(boxes.shown()[2].text.find(L"failed: Out of memory (error 7)"), std::wstring::npos)
      << boxes.shown()[2].text;
  EXPECT_TRUE(IsWindow(window_->hwnd()));
  EXPECT_EQ(window_->listBox().ListCount(), 4);
}

// While a command runs (its dialog open, its message loop running), the menu and the command
// keys do nothing, and a close through the frame is carried out once the command has ended.
TEST_F(PopupMenuTest, NoCommandStartsInsideAnotherAndTheFrameClosesAfterIt) {
  bool openDuringCommand = false;
  MenuWatcher watcher({WM_CHAR, L'a'});
  commands_->during = [&] {
    const POINT at = LinePoint(Listbox(), 0);
    SendMessageW(Listbox(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(Listbox(), WM_KEYDOWN, VK_DELETE, 1);
    SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
    PumpMessages();
    openDuringCommand = IsWindow(window_->hwnd()) != FALSE;
  };
  PostKey(VK_DELETE);

  EXPECT_EQ(ran_, std::vector<MenuItem>{MenuItem::Delete});
  EXPECT_TRUE(watcher.opened().empty());
  EXPECT_TRUE(openDuringCommand);
  PumpMessages();
  EXPECT_FALSE(window_->IsLoaded());
  window_->EnsureLoaded();  // for the tear-down
}

// The person's selection wins: a click and a Ctrl+click hold the list, and a posting's
// SelectOnly leaves their lines (and the list's bookkeeping sees them). End gives the list back:
// the next SelectOnly deselects whatever the person left. Shift+Up holds it again.
TEST_F(PopupMenuTest, PersonSelectionWinsUntilGivenBack) {
  ListBoxList& list = window_->listBox();
  list.SelectOnly(3);
  ASSERT_EQ(list.SelCount(), 1);

  ClickLine(0, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_CONTROL);
  {
    HeldKeys control({VK_CONTROL});
    ClickLine(1, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_CONTROL);
  }
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(list.SelCount(), 3);
  EXPECT_FALSE(list.FollowsPostings());
  list.SelectOnly(3);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 1, 3}));

  PostKey(VK_END);
  EXPECT_TRUE(list.FollowsPostings());
  list.AddItem(u"four");
  list.SelectOnly(4);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{4}));

  {
    HeldKeys shift({VK_SHIFT});
    PostKey(VK_UP);
  }
  EXPECT_FALSE(list.FollowsPostings());
  EXPECT_EQ(list.SelCount(), static_cast<std::int16_t>(SelectedLines().size()));
  list.SelectOnly(0);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{3, 4}));
}

}  // namespace
}  // namespace sirel::win32
