// The list's mouse and keys, the pop-up menu and the running of its commands.
#include <windows.h>

#include <windowsx.h>

#include <cwchar>
#include <exception>
#include <new>
#include <string>

#include "core/errors.h"
#include "win32/form_menu_commands.h"
#include "win32/live_windows.h"
#include "win32/system_message_box.h"
#include "win32/message_form.h"
#include "win32/text_conversion.h"
#include "window/menu_failure.h"

namespace sirel::win32 {

namespace {

bool KeyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Ends a dialog (the About box, a failure box) that the window being destroyed owns.
BOOL CALLBACK EndDialogOwnedBy(HWND candidate, LPARAM owner) {
  wchar_t name[8] = {};
  if (GetWindow(candidate, GW_OWNER) == reinterpret_cast<HWND>(owner) &&
      GetClassNameW(candidate, name, 8) > 0 && std::wcscmp(name, L"#32770") == 0) {
    EndDialog(candidate, IDCANCEL);
  }
  return TRUE;
}

}  // namespace

bool MessageForm::OnListInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // The library must stay while this frame runs (the pop-up menu and its commands run inside).
  const WindowCodeRunning running;
  *result = 0;
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      // The right button changes neither the selection nor the current line.
      return true;
    case WM_RBUTTONUP:
      OnListRightButtonUp(lParam);
      return true;
    case WM_CONTEXTMENU:
      // From the keyboard (the context-menu key): at the current line. The one a right-button
      // release would raise is not wanted: the release itself opened the menu.
      if (lParam == -1) OpenMenuAtCurrentLine();
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return OnListKeyDown(wParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // The releases of keys handled on their press, so no default handling repeats them.
      return wParam == VK_APPS || (wParam == VK_F10 && KeyIsDown(VK_SHIFT));
    case WM_CHAR:
      // Ctrl+A, Ctrl+C and Ctrl+F were handled as keys; their characters must not search the list.
      return wParam == 0x01 || wParam == 0x03 || wParam == 0x06;
    default:
      return false;
  }
}

bool MessageForm::OnListKeyDown(WPARAM key) {
  const bool control = KeyIsDown(VK_CONTROL);
  const bool shift = KeyIsDown(VK_SHIFT);
  const bool alt = KeyIsDown(VK_MENU);
  if ((key == VK_F10 && shift && !control && !alt) || key == VK_APPS) {
    OpenMenuAtCurrentLine();
    return true;
  }
  if (control && !alt && !shift && key == 'C') {
    RunCommand(MenuItem::Copy);
    return true;
  }
  if (control && !alt && !shift && key == 'F') {
    OpenFind();
    return true;
  }
  if (!control && !alt && key == VK_F3) {
    Find(shift ? FindStep::kPrevious : FindStep::kNext, true);
    return true;
  }
  if (control && !alt && !shift && key == 'A') {
    list_.SelectAll();
    return true;
  }
  if (!control && !alt && !shift && key == VK_DELETE) {
    RunCommand(MenuItem::Delete);
    return true;
  }
  return false;
}

void MessageForm::OnListRightButtonUp(LPARAM position) {
  POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ClientToScreen(list_.hwnd(), &point);
  OpenMenuAt(point);
}

void MessageForm::OpenMenuAtCurrentLine() {
  HWND listbox = list_.hwnd();
  RECT client{};
  GetClientRect(listbox, &client);
  POINT point{0, 0};
  const LRESULT caret = SendMessageW(listbox, LB_GETCARETINDEX, 0, 0);
  RECT line{};
  if (caret >= 0 &&
      SendMessageW(listbox, LB_GETITEMRECT, static_cast<WPARAM>(caret),
                   reinterpret_cast<LPARAM>(&line)) != LB_ERR &&
      line.bottom > client.top && line.top < client.bottom) {
    point = POINT{line.left, line.bottom};
  }
  ClientToScreen(listbox, &point);
  OpenMenuAt(point);
}

// The window's menu and the message boxes it owns end with it. A box's loop does not end by
// itself when its owner goes while the owner is another window's child (the host's frame
// destroyed, the apartment's end): the box stayed on screen, its command waiting under it.
// Ended here, the box is hidden at once and its loop returns with the window gone, and the
// command ends there.
void MessageForm::OnDestroy() {
  find_bar_.Destroy();
  list_.Detach();
  menu_.Destroy();
  EnumThreadWindows(GetCurrentThreadId(), &EndDialogOwnedBy, reinterpret_cast<LPARAM>(hwnd_));
}

void MessageForm::OpenMenuAt(POINT screen) {
  if (hwnd_ == nullptr || command_running_) return;
  const std::optional<MenuItem> chosen = menu_.Track(hwnd_, screen);
  // The window may have gone while the menu was open (the end of the apartment): nothing runs.
  if (chosen && hwnd_ != nullptr) RunCommand(*chosen);
}

MenuCommandRunner& MessageForm::Commands() {
  if (!commands_) commands_ = MakeFormMenuCommands(*this);
  return *commands_;
}

// One command at a time per window: a command that shows a dialog or a message box runs a
// message loop, in which the user could open the menu again or press a command key; those are
// ignored, and closing the window through its frame waits until the command has ended.
void MessageForm::RunCommand(MenuItem item) {
  if (command_running_) return;
  struct Running {
    explicit Running(MessageForm& window) : window_(window) { window_.command_running_ = true; }
    ~Running() {
      window_.command_running_ = false;
      if (window_.close_pending_) {
        window_.close_pending_ = false;
        if (window_.hwnd_ != nullptr) PostMessageW(window_.hwnd_, WM_CLOSE, 0, 0);
      }
    }
    MessageForm& window_;
  } running(*this);
  try {
    Commands().Run(item);
  } catch (const SirelError& error) {
    ShowMenuFailure(item, FromUtf8(error.what()), error.number());
  } catch (const std::bad_alloc&) {
    // Memory is an error of the table wherever the command ran out of it.
    ShowMenuFailure(item, FromUtf8(ErrorText(ErrorCode::OutOfMemory)),
                    static_cast<int>(ErrorCode::OutOfMemory));
  } catch (const std::exception& error) {
    ShowMenuFailure(item, FromUtf8(error.what()), 0);
  } catch (...) {
    ShowMenuFailure(item, u"Unexpected error", 0);
  }
}

// Tells the user which command failed and why. The command's earlier steps stay done.
void MessageForm::ShowMenuFailure(MenuItem item, const std::u16string& reason, int number) {
  // A command whose window went in its dialog ends silently: there is no window to speak for.
  if (hwnd_ == nullptr) return;
  SystemMessageBox box([this] { return hwnd_ != nullptr && IsWindow(hwnd_) ? hwnd_ : nullptr; });
  box.ShowWarning(MenuFailureText(item, reason, number), kMessageWindowDesignCaption);
}

}  // namespace sirel::win32
