// The LISTBOX list beyond the shared contract: the one-pass removal of many selected lines (the
// contract's cases are small enough to take the one-by-one path), scrolling the current line
// into view, where the first visible line goes, and what the list remembers of its control when
// another thread sends the control messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "poster/poster.h"
#include "thread/modAPIs.h"
#include "window/copy_text.h"
#include "window/menu.h"
#include "win32/form_menu_commands.h"
#include "win32_test_support.h"

#include "core/current_line.h"
#include "core/errors.h"
#include "win32/message_form.h"
#include "win32/native_platform.h"
#include "support/thrown_code.h"

namespace sirel::win32 {
namespace {

using test_support::ThrownCode;

std::u16string Numbered(int n) {
  std::u16string text = u"line ";
  for (char c : std::to_string(n)) text.push_back(static_cast<char16_t>(c));
  return text;
}

class ListboxListTest : public ::testing::Test {
 public:
  std::unique_ptr<MessageForm> MakeWindow(int lines) {
    auto window = std::make_unique<MessageForm>(ThisModule());
    window->EnsureLoaded();
    for (int i = 0; i < lines; ++i) window->listBox().AddItem(Numbered(i));
    return window;
  }
  static int TopIndex(ListBoxList& list) {
    return static_cast<int>(SendMessageW(list.hwnd(), LB_GETTOPINDEX, 0, 0));
  }
  static int VisibleRows(ListBoxList& list) {
    RECT client{};
    GetClientRect(list.hwnd(), &client);
    return client.bottom / static_cast<int>(SendMessageW(list.hwnd(), LB_GETITEMHEIGHT, 0, 0));
  }
  struct State {
    std::vector<std::u16string> lines;
    int selected = 0;
    int current = -1;
    bool operator==(const State& o) const {
      return lines == o.lines && selected == o.selected && current == o.current;
    }
  };
  static State StateOf(ListBoxList& list) {
    State state;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
      state.lines.push_back(list.LineText(i));
      if (list.Selected(i) == kTrue) ++state.selected;
    }
    state.current = list.ListIndex();
    return state;
  }
};

// Answers LB_ERRSPACE to the n-th LB_ADDSTRING the control gets, as a control short of memory.
WNDPROC g_inner_proc = nullptr;
int g_adds_before_refusal = 0;
LRESULT CALLBACK RefusingOneAdd(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == LB_ADDSTRING && --g_adds_before_refusal == 0
             ? LB_ERRSPACE : CallWindowProcW(g_inner_proc, hwnd, message, wParam, lParam);
}

TEST_F(ListboxListTest, ManySelectedLinesGoInOnePassLeavingWhatOneByOneLeaves) {
  struct Case {
    const char* name;
    int lines;
    int step;        // every step-th line is selected, from `first`
    int first;
    int current;     // the current line before the selection
    int refusedAdd = 0;  // the rebuild's add the control refuses (0: none)
  };
  const Case cases[] = {
      {"the 20th add back refused: every kept line back, then the error", 120, 3, 0, 60, 20},
      {"every other line of 200, current kept", 200, 2, 1, 100},
      {"every other line of 200, current removed", 200, 2, 0, 100},
      {"every third of 300, current the last, removed", 300, 3, 2, 299},
      {"every line of 40", 40, 1, 0, 20},
      {"every other line of a full list", MessageList::kMaxLines, 2, 0, 16000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto subject = MakeWindow(c.lines);
    auto twin = MakeWindow(c.lines);
    for (MessageForm* window : {subject.get(), twin.get()}) {
      ListBoxList& list = window->listBox();
      list.RemoveItem(1);
      list.InsertItem(1, std::u16string(u"kept\0exactly", 13), kFalse);  // a line with a NUL
      list.SelectOnly(static_cast<std::int16_t>(c.current));
      for (int i = c.first; i < c.lines; i += c.step) list.SetSelected(static_cast<std::int16_t>(i), true);
    }

    g_adds_before_refusal = c.refusedAdd;
    g_inner_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        subject->listBox().hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefusingOneAdd)));
    const auto remove = [&] { subject->listBox().RemoveSelected(); };
    if (c.refusedAdd == 0) remove();
    if (c.refusedAdd > 0) { EXPECT_EQ(ThrownCode(remove), ErrorCode::OutOfMemory); }
    ListBoxList& reference = twin->listBox();
    for (int i = reference.ListCount() - 1; i >= 0; --i) {
      if (reference.Selected(static_cast<std::int16_t>(i)) == kTrue) {
        reference.RemoveItem(static_cast<std::int16_t>(i));
      }
    }

    EXPECT_TRUE(StateOf(subject->listBox()) == StateOf(reference));
    EXPECT_EQ(subject->listBox().SelCount(), 0);
    EXPECT_EQ(subject->listBox().ListCount(), reference.ListCount());
  }
}

TEST_F(ListboxListTest, FirstVisibleLineStaysAfterTheOnePassRemoval) {
  auto window = MakeWindow(100);
  ListBoxList& list = window->listBox();
  for (int i = 0; i < 100; i += 2) list.SetSelected(static_cast<std::int16_t>(i), true);
  SendMessageW(list.hwnd(), LB_SETTOPINDEX, 41, 0);  // line 41 (kept) at the top
  ASSERT_EQ(TopIndex(list), 41);

  list.RemoveSelected();

  EXPECT_EQ(list.LineText(static_cast<std::int16_t>(TopIndex(list))), Numbered(41));
}

TEST_F(ListboxListTest, MakingALineCurrentScrollsItIntoView) {
  auto window = MakeWindow(60);
  ListBoxList& list = window->listBox();
  const int rows = VisibleRows(list);
  ASSERT_LT(rows, 60);

  SendMessageW(list.hwnd(), LB_SETTOPINDEX, 0, 0);
  list.SelectOnly(59);
  EXPECT_LE(TopIndex(list), 59);
  EXPECT_GT(TopIndex(list) + rows, 59) << "the newest line is in view";

  list.SelectOnly(3);
  EXPECT_LE(TopIndex(list), 3);
  EXPECT_GT(TopIndex(list) + rows, 3);

  // Again on the line that is already current, after the user scrolled away from it.
  SendMessageW(list.hwnd(), LB_SETTOPINDEX, 40, 0);
  list.SelectOnly(3);
  EXPECT_LE(TopIndex(list), 3);
}

TEST_F(ListboxListTest, ALineWithNulsComesBackExactlyAndShowsTheMark) {
  auto window = MakeWindow(0);
  const std::u16string exact(u"a\0b\0", 4);
  window->listBox().AddItem(exact);
  EXPECT_EQ(window->listBox().LineText(0), exact);
  EXPECT_EQ(AllLinesText(window->listBox()), exact + u"\r\n");  // Copy All and Export
  wchar_t shown[8] = {};
  SendMessageW(window->listBox().hwnd(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
  EXPECT_STREQ(shown, L"a\u2400b\u2400");
}

// Runs `send` on another thread while this one takes the messages it sends to the control, as
// a tool of another thread or process would.
void FromAnotherThread(const std::function<void()>& send) {
  std::atomic<bool> done{false};
  std::thread sender([&] {
    send();
    done = true;
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    testing::PumpMessages();
  }
  sender.join();
}

std::vector<std::u16string> LinesOf(const MessageList& list) {
  std::vector<std::u16string> lines;
  for (std::int16_t i = 0; i < list.ListCount(); ++i) lines.push_back(list.LineText(i));
  return lines;
}

class OutsideSenderTest : public testing::FreshWindowTest {};

TEST_F(OutsideSenderTest, LinesSelectedFromOutsideAreTheOnesDeleteRemoves) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<int> kept;  // of lines 0..5, the newest (5) selected by the posting
  };
  const Case cases[] = {
      {"LB_SETSEL adds line 2", LB_SETSEL, TRUE, 2, {0, 1, 3, 4}},
      {"LB_SETSEL clears every line", LB_SETSEL, FALSE, -1, {0, 1, 2, 3, 4, 5}},
      {"LB_SELITEMRANGE adds lines 1 to 3", LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 3), {0, 4}},
      {"LB_SELITEMRANGE clears lines 4 to 5", LB_SELITEMRANGE, FALSE, MAKELPARAM(4, 5),
       {0, 1, 2, 3, 4, 5}},
      {"LB_SELITEMRANGEEX adds lines 0 to 1", LB_SELITEMRANGEEX, 0, 1, {2, 3, 4}},
  };
  const std::function<void(MessageForm&)> deletes[] = {
      [](MessageForm&) { modAPIs::DeleteSelectedMessages(ThreadState::Current()); },
      [](MessageForm& window) { MakeFormMenuCommands(window)->Run(MenuItem::Delete); },
  };
  for (const Case& c : cases) {
    for (std::size_t way = 0; way < std::size(deletes); ++way) {
      SCOPED_TRACE(std::string(c.name) + (way == 0 ? ", DeleteSelectedMessages" : ", menu"));
      MessageForm& window = testing::ThreadWindow();
      ListBoxList& list = window.listBox();
      list.Clear();
      for (int i = 0; i < 6; ++i) list.AddItem(Numbered(i));
      list.SelectOnly(5);  // as a posting leaves it
      const HWND control = list.hwnd();
      FromAnotherThread([&] { SendMessageW(control, c.message, c.wParam, c.lParam); });

      deletes[way](window);

      std::vector<std::u16string> expected;
      for (int i : c.kept) expected.push_back(Numbered(i));
      EXPECT_EQ(LinesOf(list), expected);
      EXPECT_EQ(list.SelCount(), 0);
    }
  }
}

TEST_F(OutsideSenderTest, LinesAddedFromOutsideComeBackWholeInCopyAllAndExport) {
  // Longer than any line the list itself added.
  const std::wstring longLine(5000, L'x');
  const std::string ansiLine(3000, 'a');
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring longName = std::wstring(folder) + std::wstring(200, L'f') + L".sirel";
  CloseHandle(CreateFileW(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::wstring pattern = std::wstring(folder) + L"*.sirel";
  struct Case {
    const char* name;
    std::function<void(HWND)> send;
  };
  const Case cases[] = {
      {"LB_ADDSTRING, wide", [&](HWND c) { SendMessageW(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longLine.c_str())); }},
      {"LB_ADDSTRING, ANSI", [&](HWND c) { SendMessageA(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansiLine.c_str())); }},
      {"LB_INSERTSTRING at 0", [&](HWND c) { SendMessageW(c, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(longLine.c_str())); }},
      {"LB_DIR", [&](HWND c) { SendMessageW(c, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(pattern.c_str())); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListBoxList& list = testing::ThreadWindow().listBox();
    list.Clear();
    list.AddItem(u"short");
    list.SelectOnly(0);
    const HWND control = list.hwnd();
    FromAnotherThread([&] { c.send(control); });
    ASSERT_EQ(list.ListCount(), 2);

    // Copy All and Export both take their text from AllLinesText.
    std::u16string expected;
    for (const std::u16string& line : LinesOf(list)) expected += line + u"\r\n";
    EXPECT_GT(expected.size(), 200u);
    EXPECT_EQ(AllLinesText(list), expected);
  }
  DeleteFileW(longName.c_str());
}

TEST_F(OutsideSenderTest, CountAndCurrentLineFollowWritesFromOutside) {
  const wchar_t extra[] = L"from outside";
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Case cases[] = {
      {"LB_ADDSTRING", LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(extra)},
      {"LB_INSERTSTRING at 0", LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(extra)},
      {"LB_DELETESTRING 1", LB_DELETESTRING, 1, 0},
      {"LB_DELETESTRING of the current line", LB_DELETESTRING, 5, 0},
      {"LB_RESETCONTENT", LB_RESETCONTENT, 0, 0},
      {"LB_SETCARETINDEX 2", LB_SETCARETINDEX, 2, FALSE},
      {"LB_SETTOPINDEX 0", LB_SETTOPINDEX, 0, 0},
  };
  const auto caretOf = [](HWND control) {
    return static_cast<int>(SendMessageW(control, LB_GETCARETINDEX, 0, 0));
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListBoxList& list = testing::ThreadWindow().listBox();
    list.Clear();
    for (int i = 0; i < 40; ++i) list.AddItem(Numbered(i));
    list.SelectOnly(39);  // as a posting leaves it
    list.RemoveItem(0);   // and its trim: the list now knows its count and current line
    const HWND control = list.hwnd();
    FromAnotherThread([&] { SendMessageW(control, c.message, c.wParam, c.lParam); });

    // A removal moves the control's current line by the rule, from where the outsider left it.
    const int count = static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0));
    if (count > 1) {
      const int caret = caretOf(control);
      list.RemoveItem(1);
      EXPECT_EQ(list.ListCount(), count - 1);
      EXPECT_EQ(caretOf(control), CurrentLineAfterRemoval(caret, caret > 1 ? 1 : 0, caret == 1,
                                                          count - 1));
    }
    // The next posting's append and selection land on the true newest line, in view.
    list.AddItem(u"newest");
    const std::int16_t newest = static_cast<std::int16_t>(list.ListCount() - 1);
    EXPECT_EQ(newest, SendMessageW(control, LB_GETCOUNT, 0, 0) - 1);
    list.SelectOnly(newest);
    EXPECT_EQ(list.LineText(newest), u"newest");
    EXPECT_EQ(caretOf(control), newest);
    EXPECT_EQ(list.ListIndex(), newest);
    EXPECT_EQ(SendMessageW(control, LB_GETSELCOUNT, 0, 0), 1);
    RECT client{};
    GetClientRect(control, &client);
    const int rows = client.bottom / static_cast<int>(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_GT(SendMessageW(control, LB_GETTOPINDEX, 0, 0) + rows, newest) << "the newest line is in view";
  }
}

// A scroll holds the view only, a selection holds until the person's lines are gone. Each row:
// 40 postings, the person's act, one posting; then whether the newest line (else the current
// line the act left) is the one selected, and whether the view moved to the newest line.
TEST_F(OutsideSenderTest, ScrollingHoldsTheViewAndSelectingHoldsTheSelectionWhileItLasts) {
  MessageForm& w = testing::ThreadWindow();
  Poster p(ThreadState::Current());
  const HWND list = w.listBox().hwnd();
  const auto send = [&](UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(list, m, wp, lp); };
  const auto click = [&](int line, WPARAM keys) {
    const POINT at = testing::LinePoint(list, line);
    for (const UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP}) send(m, keys, MAKELPARAM(at.x, at.y));
  };
  const auto pickTwo = [&] { click(36, 0), click(38, MK_CONTROL); };
  const struct { const char* name; std::function<void()> act; bool newest, moved; } cases[] = {
      {"wheel up, only the newest selected", [&] { send(WM_MOUSEWHEEL, 360 << 16); }, true, false},
      {"the scroll bar's page area", [&] { send(WM_VSCROLL, SB_PAGEUP); }, true, false},
      {"the Page Up key selects a line", [&] { send(WM_KEYDOWN, VK_PRIOR); }, false, false},
      {"two lines deleted by the menu", [&] { pickTwo(), MakeFormMenuCommands(w)->Run(MenuItem::Delete); }, true, true},
      {"the same by DeleteSelectedMessages", [&] { pickTwo(), p.DeleteSelectedMessages(); }, true, true},
      {"the last selected line trimmed", [&] { send(LB_SETTOPINDEX), click(0, 0), p.SetMaxListCount(40), p.DoSirel(u"-"); }, true, false},
      {"Ctrl+A, then Clear", [&] { testing::HeldKeys c({VK_CONTROL}); send(WM_KEYDOWN, 'A'), p.ClearList(); }, true, true},
  };
  w.Show();
  const int rows = ListboxListTest::VisibleRows(w.listBox());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    p.SetMaxListCount(0), p.ClearList();
    for (int i = 0; i < 40; ++i) p.DoSirel(Numbered(i));
    c.act();
    const LRESULT caret = send(LB_GETCARETINDEX);
    p.DoSirel(u"posted");
    const int newest = w.listBox().ListCount() - 1;
    EXPECT_EQ(send(LB_GETSELCOUNT), 1);
    EXPECT_GT(send(LB_GETSEL, c.newest ? newest : caret), 0);
    EXPECT_EQ(send(LB_GETTOPINDEX) + rows > newest, c.moved);
  }
  w.Hide();
}

TEST_F(ListboxListTest, ADetachedListRefusesWithAWindowError) {
  ListBoxList list;
  EXPECT_EQ(ThrownCode([&] { list.AddItem(u"nowhere"); }), ErrorCode::WindowOperation);
}

}  // namespace
}  // namespace sirel::win32
