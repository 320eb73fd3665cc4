#include "win32/message_form.h"

#include <algorithm>
#include <new>
#include <string>

#include "core/errors.h"
#include "win32/handed_work.h"
#include "win32/hwnd_value.h"
#include "win32/live_windows.h"
#include "win32/text_conversion.h"

namespace sirel::win32 {

namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFrameExStyle = 0;

RECT ScreenRectOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

}  // namespace

MessageForm::MessageForm(HINSTANCE instance) : instance_(instance) {}

MessageForm::~MessageForm() {
  if (hwnd_ == nullptr || !IsWindow(hwnd_)) return;
  if (GetWindowThreadProcessId(hwnd_, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(hwnd_);
  } else {
    // Another thread's window cannot be destroyed from here: disarm it so that its procedures
    // never reach this object again.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    list_.Disarm();
  }
  hwnd_ = nullptr;
}

void MessageForm::Close() noexcept {
  if (hwnd_ != nullptr && GetWindowThreadProcessId(hwnd_, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(hwnd_);
  }
}

void MessageForm::AbandonToSystem() noexcept {
  if (hwnd_ != nullptr) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  margins_captured_ = false;
  list_.Disarm();
  ForgetNativeWindowDpi();
}

MessageForm* MessageForm::FromHwnd(HWND hwnd) {
  return reinterpret_cast<MessageForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK MessageForm::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The library must stay while this frame runs (a menu or a dialog may run inside it).
  const WindowCodeRunning running;
  // Nothing may unwind through the window system; the handlers report their own errors.
  try {
    if (RunHandedWork(message, lParam)) return 0;  // left here by another thread (handed_work.h)
    if (message == WM_NCCREATE) {
      auto* self = static_cast<MessageForm*>(
          reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      // A window the unload answer cannot see must not exist: creation fails instead.
      if (!NoteWindowCreated(hwnd)) {
        self->short_of_memory_ = true;
        return FALSE;
      }
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    MessageForm* self = FromHwnd(hwnd);
    LRESULT result = 0;
    try {
      result = self != nullptr ? self->OnMessage(message, wParam, lParam)
                               : DefWindowProcW(hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
      // A creation that ran out of memory fails, and says why (error 7, not 1002).
      if (message == WM_CREATE && self != nullptr) self->short_of_memory_ = true;
      result = message == WM_CREATE ? -1 : 0;
    } catch (...) {
      result = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (self != nullptr) self->OnNcDestroy();
      NoteWindowDestroyed(hwnd);
    }
    return result;
  } catch (...) {
    return message == WM_NCCREATE ? FALSE : 0;
  }
}

LRESULT MessageForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam));
      return 0;
    case WM_SETFOCUS:
      // The list is the only control that takes the keyboard focus.
      if (list_.hwnd() != nullptr) SetFocus(list_.hwnd());
      return 0;
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == find_bar_.hwnd()) {
        if (HBRUSH tint = find_bar_.ColorFor(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(tint);
        }
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DELETEITEM:
      // A removed line of the list: the exact text of a line that held a NUL goes with it.
      list_.ForgetExactText(reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->itemData);
      return TRUE;
    case WM_CLOSE:
      if (command_running_) {
        close_pending_ = true;  // carried out when the command ends (message_form_input.cpp)
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      if (OnDpiMessage(message, wParam, lParam)) return 0;
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void MessageForm::EnsureLoaded() {
  if (hwnd_ != nullptr) return;
  RegisterWindowClass(instance_);
  system_dpi_ = SystemDpi();
  scale_ = TwipScale(system_dpi_);
  RECT frame{0, 0, scale_.ToPixels(kClientWidthTwips), scale_.ToPixels(kClientHeightTwips)};
  AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
  // Hidden: no WS_VISIBLE, and nothing here shows it. No parent, no owner, no menu bar.
  short_of_memory_ = false;
  CreateWindowExW(kFrameExStyle, kClassName, ToWide(kMessageWindowDesignCaption).c_str(),
                  kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                  frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) {
    throw SirelError(short_of_memory_ ? ErrorCode::OutOfMemory : ErrorCode::WindowCreate);
  }
  LoadStep();
  // Made on a monitor of another DPI: the window follows it at once.
  FollowWindowDpi();
  // The list takes the size it has at first display right away, whether or not the window
  // system reported a size change while the window was made.
  LayoutStep();
}

bool MessageForm::OnCreate() {
  const RECT bounds{0, 0, scale_.ToPixels(kListWidthTwips), scale_.ToPixels(kListHeightTwips)};
  HWND listbox = CreateMessageListBox(hwnd_, instance_, kListControlId, bounds);
  if (listbox == nullptr || !list_.Attach(listbox, this)) return false;
  if (!find_bar_.Create(hwnd_, instance_, kFindBarControlId, this)) return false;
  return menu_.Build();
}

// The load step: the two margins, from the window's outer size and the list's size as made.
void MessageForm::LoadStep() {
  const RECT window = ScreenRectOf(hwnd_);
  const RECT list = ScreenRectOf(list_.hwnd());
  margins_ = CaptureMargins(scale_.ToTwips(window.right - window.left),
                            scale_.ToTwips(window.bottom - window.top),
                            scale_.ToTwips(list.right - list.left),
                            scale_.ToTwips(list.bottom - list.top));
  margins_captured_ = true;
  loaded_margins_ = margins_;
  frame_at_load_ = MeasureFrame();
}

// The layout step: the list's size from the window's outer size; it never moves.
void MessageForm::LayoutStep() {
  if (!margins_captured_ || list_.hwnd() == nullptr) return;
  const RECT window = ScreenRectOf(hwnd_);
  const ListSizeChange change =
      LayOutList(scale_.ToTwips(window.right - window.left),
                 scale_.ToTwips(window.bottom - window.top), margins_);
  if (!change.applyWidth) return;
  const RECT list = ScreenRectOf(list_.hwnd());
  const int width = scale_.ToPixels(change.width);
  const int height = change.applyHeight ? scale_.ToPixels(change.height) : list.bottom - list.top;
  const int barHeight = change.applyHeight ? PlaceFindBar(width, height) : 0;
  // The LISTBOX snaps the height to whole rows itself (integral height).
  SetWindowPos(list_.hwnd(), nullptr, 0, 0, width, std::max(0, height - barHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MessageForm::OnSize(UINT state) {
  if (state == SIZE_MINIMIZED || adopting_dpi_) return;
  LayoutStep();
}

// The frame draws nothing of its own. Its WM_PAINT comes when the thread runs its messages and
// nothing else waits: the list's held lines are drawn then (the list invalidates the frame when
// it holds them). The frame is validated first, so that erasing it cannot paint over the list.
void MessageForm::OnPaint() {
  PAINTSTRUCT paint{};
  BeginPaint(hwnd_, &paint);
  EndPaint(hwnd_, &paint);
  list_.ShowHeldLines();
}

void MessageForm::OnCommand(WPARAM wParam) {
  if (LOWORD(wParam) == kFindBarControlId && HIWORD(wParam) == EN_CHANGE) {
    OnFindTextChanged();
    return;
  }
  // The user changed the selection: what the list remembers of it is out of date.
  if (LOWORD(wParam) == kListControlId && HIWORD(wParam) == LBN_SELCHANGE) {
    list_.ForgetSelection();
  }
}

void MessageForm::OnNcDestroy() {
  hwnd_ = nullptr;
  margins_captured_ = false;
  list_.Detach();
  ForgetNativeWindowDpi();
}

HWND MessageForm::Require() const {
  if (hwnd_ == nullptr) throw SirelError(ErrorCode::WindowOperation);
  return hwnd_;
}

WindowHandle MessageForm::Handle() const { return WindowHandleOf(hwnd_); }

std::u16string MessageForm::Caption() const {
  HWND hwnd = Require();
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  return FromWide(text.data(), static_cast<std::size_t>(length));
}

void MessageForm::SetCaption(const std::u16string& caption) {
  if (!SetWindowTextW(Require(), ToWide(caption).c_str())) throw SirelError(ErrorCode::WindowOperation);
}

void MessageForm::Show() {
  ShowWindow(Require(), SW_SHOW);
  list_.ShowHeldLines();
}

void MessageForm::Hide() { ShowWindow(Require(), SW_HIDE); }

bool MessageForm::IsVisible() const {
  // The window's own flag: a shown child of a hidden parent still counts as shown.
  return hwnd_ != nullptr && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void MessageForm::ReplaceMenuCommands(std::unique_ptr<MenuCommandRunner> commands) {
  commands_ = std::move(commands);
}

}  // namespace sirel::win32
