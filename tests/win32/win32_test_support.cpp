#include "win32_test_support.h"

#include "win32/native_platform.h"

namespace sirel::win32::testing {

namespace {

thread_local MenuWatcher* t_menu_watcher = nullptr;
thread_local MessageBoxWatcher* t_box_watcher = nullptr;

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  if (lstrcmpiW(className, L"Static") == 0) {
    auto* text = reinterpret_cast<std::wstring*>(param);
    *text += TextOf(child);
  }
  return TRUE;
}

}  // namespace

MessageForm& ThreadWindow() {
  return static_cast<MessageForm&>(ThreadState::Current().ObtainWindow());
}

void CloseThroughFrame(MessageForm& window) {
  if (window.hwnd() != nullptr) SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  PumpMessages();
}

RECT ScreenRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

HWND ParentOf(HWND hwnd) {
  HWND parent = GetAncestor(hwnd, GA_PARENT);
  return parent == GetDesktopWindow() ? nullptr : parent;
}

void FreshWindowTest::SetUp() {
  ThreadState& state = ThreadState::Current();
  if (state.HasWindow()) {
    auto& window = static_cast<MessageForm&>(state.ObtainWindow());
    CloseThroughFrame(window);
  }
  state.setParentWindow(0);
}

void FreshWindowTest::TearDown() { PumpMessages(); }

MenuWatcher::MenuWatcher(Answer answer) : answer_(answer) {
  t_menu_watcher = this;
  hook_.reset(SetWindowsHookExW(WH_CALLWNDPROC, &MenuWatcher::Hook, nullptr, GetCurrentThreadId()));
}

MenuWatcher::~MenuWatcher() {
  hook_.reset();
  t_menu_watcher = nullptr;
}

// The menu loop tells the owner it is idle (WM_ENTERIDLE with MSGF_MENU) once the menu shows.
LRESULT CALLBACK MenuWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  MenuWatcher* self = t_menu_watcher;
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && self != nullptr && call->message == WM_INITMENUPOPUP) {
    OpenedMenu opened;
    HMENU menu = reinterpret_cast<HMENU>(call->wParam);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t caption[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
      opened.captions.push_back(caption);
    }
    self->opened_.push_back(opened);
  }
  if (code == HC_ACTION && self != nullptr && call->message == WM_ENTERIDLE &&
      call->wParam == MSGF_MENU && !self->opened_.empty()) {
    HWND menuWindow = reinterpret_cast<HWND>(call->lParam);
    if (menuWindow != nullptr) self->opened_.back().screen = ScreenRect(menuWindow);
    PostMessageW(call->hwnd, self->answer_.message, self->answer_.code, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

MessageBoxWatcher::MessageBoxWatcher() {
  t_box_watcher = this;
  hook_.reset(SetWindowsHookExW(WH_CALLWNDPROCRET, &MessageBoxWatcher::Hook, nullptr,
                                GetCurrentThreadId()));
}

MessageBoxWatcher::~MessageBoxWatcher() {
  hook_.reset();
  t_box_watcher = nullptr;
}

// After the box has set up its texts (WM_INITDIALOG done), read them and press OK.
LRESULT CALLBACK MessageBoxWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  MessageBoxWatcher* self = t_box_watcher;
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && self != nullptr && call->message == WM_INITDIALOG) {
    Shown shown;
    shown.title = TextOf(call->hwnd);
    EnumChildWindows(call->hwnd, &CollectStaticText, reinterpret_cast<LPARAM>(&shown.text));
    self->shown_.push_back(shown);
    PostMessageW(call->hwnd, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
  GetKeyboardState(saved_);
  BYTE state[256];
  GetKeyboardState(state);
  for (int key : keys) state[key] |= 0x80;
  SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved_); }

POINT LinePoint(HWND listbox, int index) {
  RECT line{};
  SendMessageW(listbox, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line));
  return POINT{(line.left + line.right) / 2, (line.top + line.bottom) / 2};
}

}  // namespace sirel::win32::testing
