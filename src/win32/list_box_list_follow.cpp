// The list and the person share it. A posting makes its line the only selected and current one
// and brings it into view, but that move reaches the control only once per frame: the control
// then invalidates its old and new rows, scrolls and tells accessibility tools once for many
// postings, not once per line. Until then the list's own bookkeeping answers its members, and
// any reader of the selection or the view (another thread, another process, the person's mouse
// and keys) has the move applied before the control answers it.
//
// Two holds, each for what the person did. After each input of the person (mouse, keys, wheel,
// scroll bar) the list looks at what the person left:
// - selected lines other than the newest line alone (nothing selected holds nothing) hold the
//   selection: postings then append and trim without touching the selection, the current line
//   or the view. It ends when the person gives the list back, or when the person's selected
//   lines are all gone (a removal by any path, a trim, Clear): a selection nobody holds any
//   more protects nothing.
// - a view without the newest line holds the view: postings still make the newest line current
//   and selected (so that a command on the selection never acts on a line nobody chose), but
//   leave the view where the person put it, until the person is back at the end.
#include <algorithm>

#include "core/errors.h"
#include "win32/list_box_list.h"

namespace sirel::win32 {

bool ListBoxList::NeedsAppliedSelection(UINT message, bool own) {
  switch (message) {
    // Readers of the selection, the current line and the view.
    case LB_GETSEL:
    case LB_GETSELCOUNT:
    case LB_GETSELITEMS:
    case LB_GETCURSEL:
    case LB_GETCARETINDEX:
    case LB_GETANCHORINDEX:
    case LB_GETTOPINDEX:
    case LB_GETITEMRECT:
    case LB_ITEMFROMPOINT:
    // The person's mouse and keys, and the picture.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CONTEXTMENU:
    case WM_PAINT:
      return true;
    // Another sender's change of the selection or of the lines' places.
    case LB_SETSEL:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_SETCARETINDEX:
    case LB_SETANCHORINDEX:
    case LB_SETTOPINDEX:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCOUNT:
    case LB_DIR:
    case LB_ADDFILE:
      return !own;
    default:
      return false;
  }
}

bool ListBoxList::IsMouseInput(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

bool ListBoxList::IsPersonInput(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
      return true;
    case WM_MOUSEMOVE:
      return (wParam & MK_LBUTTON) != 0;
    default:
      return false;
  }
}

void ListBoxList::SelectOnly(std::int16_t index) {
  CheckIndex(index);
  if (selection_held_) return;
  hold_.HoldForWrite();
  if (pending_ < 0) {
    pending_from_known_ = known_.selection_known;
    pending_from_ = known_.only_selected;
  }
  pending_ = index;
  known_.selection_known = true;
  known_.only_selected = index;
  known_.caret = index;
  // Outside a held update there is no frame to wait for.
  if (!hold_.held()) ApplyPendingSelection();
}

// The control's picture must not scroll while the lines move: under Wine a LISTBOX scrolls its
// picture (ScrollWindowEx) even with drawing off while it is visible, and scrolling a shown
// window that is the child of another process's window does not return there. So its visible
// flag is cleared for the change alone, as Windows' own WM_SETREDRAW does; the person's input is
// not taken meanwhile, since the thread runs no messages.
template <class Change>
void ListBoxList::WithoutScrollingPicture(Change change) {
  const LONG_PTR style = GetWindowLongPtrW(listbox_, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  if (visible) SetWindowLongPtrW(listbox_, GWL_STYLE, style & ~WS_VISIBLE);
  try {
    change();
  } catch (...) {
    if (visible) SetWindowLongPtrW(listbox_, GWL_STYLE, style);
    throw;
  }
  if (visible) SetWindowLongPtrW(listbox_, GWL_STYLE, style);
}

// keepView: for the person's mouse, which points at the picture of the last frame: the move is
// applied (so that a Shift+click extends from the right anchor) but the view stays where it was
// drawn, so the click lands on the line the person saw.
// The view the person holds stays too.
void ListBoxList::ApplyPendingSelection(bool keepView) {
  if (pending_ < 0 || listbox_ == nullptr) return;
  keepView = keepView || view_held_;
  const int index = pending_;
  pending_ = -1;
  applying_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{applying_};
  WithoutScrollingPicture([&] {
    const int top = keepView ? static_cast<int>(Send(LB_GETTOPINDEX)) : -1;
    if (!pending_from_known_) {
      Send(LB_SETSEL, FALSE, -1);
    } else if (pending_from_ >= 0 && pending_from_ != index) {
      Send(LB_SETSEL, FALSE, pending_from_);
    }
    if (Send(LB_SETSEL, TRUE, index) == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
    MoveCaretTo(index);
    if (keepView) {
      Send(LB_SETTOPINDEX, static_cast<WPARAM>(top));
    } else {
      ScrollIntoView(index);
    }
  });
  known_.selection_known = true;
  known_.only_selected = index;
}

// A trim while a move waits: the control shifts its own lines; the waiting move follows its line.
void ListBoxList::RemoveBesidePending(std::int16_t index) {
  hold_.HoldForWrite();
  const LRESULT remaining = Send(LB_DELETESTRING, static_cast<WPARAM>(index));
  if (remaining == LB_ERR) {
    known_.count = -1;
    throw SirelError(ErrorCode::WindowOperation);
  }
  known_.count = static_cast<int>(remaining);
  if (pending_ > index) --pending_;
  if (pending_from_ == index) {
    pending_from_ = -1;
  } else if (pending_from_ > index) {
    --pending_from_;
  }
  known_.only_selected = pending_;
  known_.caret = pending_;
}

void ListBoxList::NotePersonInput() {
  if (listbox_ == nullptr || held_by_find_) return;
  const int count = ListCount();
  if (count == 0) {
    selection_held_ = false;
    view_held_ = false;
    return;
  }
  const int last = count - 1;
  const LRESULT selected = Send(LB_GETSELCOUNT);
  selection_held_ = !(selected == 0 || (selected == 1 && Send(LB_GETSEL, last) > 0));
  view_held_ = !LastInView();
}

bool ListBoxList::LastInView() {
  const int top = static_cast<int>(Send(LB_GETTOPINDEX));
  return ListCount() - 1 < top + RowsShown();
}

// After a removal: once the person's selected lines are all gone, postings select the newest
// line again, and the view follows again if it is at the end.
void ListBoxList::EndHoldIfSelectionGone() {
  if (!selection_held_ || listbox_ == nullptr || SelCount() > 0) return;
  selection_held_ = false;
  view_held_ = ListCount() > 0 && !LastInView();
}

int ListBoxList::RowsShown() {
  if (known_.rows <= 0) {
    const int rowHeight = std::max(1, static_cast<int>(Send(LB_GETITEMHEIGHT, 0)));
    RECT client{};
    GetClientRect(listbox_, &client);
    known_.rows = std::max(1, static_cast<int>(client.bottom - client.top) / rowHeight);
  }
  return known_.rows;
}

void ListBoxList::ScrollIntoView(int index) {
  const int top = static_cast<int>(Send(LB_GETTOPINDEX));
  const int rows = RowsShown();
  if (index < top) {
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(index));
  } else if (index >= top + rows) {
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(index - rows + 1));
  }
}

// The lines on the person's screen stay there when a line above them goes.
void ListBoxList::KeepTopAt(int top) {
  if (top < 0 || static_cast<int>(Send(LB_GETTOPINDEX)) == top) return;
  WithoutScrollingPicture([&] { Send(LB_SETTOPINDEX, static_cast<WPARAM>(top)); });
}

void ListBoxList::MoveCaretTo(int index) {
  Send(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  Send(LB_SETANCHORINDEX, static_cast<WPARAM>(index));
  known_.caret = index;
}

void ListBoxList::EndUpdate() {
  if (hold_.EndUpdate()) ShowHeldLines();
}

void ListBoxList::ShowHeldLines() noexcept {
  try {
    ApplyPendingSelection();
  } catch (...) {
    // The lines are drawn all the same; the move is tried again by the next reader or frame.
  }
  hold_.ShowHeldLines();
}

}  // namespace sirel::win32
