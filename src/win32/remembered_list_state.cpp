#include "win32/remembered_list_state.h"

#include <algorithm>
#include <cwchar>

namespace sirel::win32 {

namespace {

bool IsButtonPressOrMove(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
      return true;
    case WM_MOUSEMOVE:
      return (wParam & (MK_LBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2)) != 0;
    default:
      return false;
  }
}

}  // namespace

void RememberedListState::Observe(UINT message, WPARAM wParam, LPARAM lParam, bool own) {
  // The user's mouse and keys may move the selection and the current line.
  if (IsButtonPressOrMove(message, wParam) || message == WM_KEYDOWN ||
      message == WM_SYSKEYDOWN) {
    ForgetSelection();
    return;
  }
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
      // The control has strings (LBS_HASSTRINGS): lParam is the wide text, whoever sent it.
      if (lParam != 0) {
        longest_line = std::max(longest_line, std::wcslen(reinterpret_cast<const wchar_t*>(lParam)));
      }
      if (!own) {
        count = -1;
        // An insertion moves later lines; an append (unsorted list) moves none, but the first
        // line of an empty list becomes the current one.
        caret = -1;
        if (message == LB_INSERTSTRING) ForgetSelection();
      }
      return;
    case LB_DIR:
    case LB_ADDFILE:
      longest_known = false;
      count = -1;
      ForgetSelection();
      return;
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCOUNT:
      if (!own) {
        count = -1;
        ForgetSelection();
      }
      return;
    case LB_SETSEL:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_SETCARETINDEX:
      if (!own) ForgetSelection();
      return;
    case WM_SIZE:
    case WM_SETFONT:
    case LB_SETITEMHEIGHT:
      rows = 0;
      return;
    default:
      return;
  }
}

void RememberedListState::NoteRemoved(int index) {
  if (!selection_known || only_selected < 0) return;
  if (only_selected == index) {
    only_selected = -1;
  } else if (only_selected > index) {
    --only_selected;
  }
}

}  // namespace sirel::win32
