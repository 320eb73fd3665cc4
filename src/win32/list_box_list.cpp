#include "win32/list_box_list.h"

#include <algorithm>
#include <cwchar>

#include "core/current_line.h"
#include "core/errors.h"
#include "win32/text_conversion.h"

namespace sirel::win32 {

namespace {

// Up to this many selected lines, RemoveSelected removes them one by one; beyond it rebuilding
// the control is cheaper, since each single removal moves every later line.
constexpr std::size_t kMaxSingleRemovals = 16;

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

}  // namespace

HWND CreateMessageListBox(HWND parent, HINSTANCE instance, int controlId, const RECT& bounds) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL |
                      LBS_NOTIFY | LBS_HASSTRINGS;
  return CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", style, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance,
                         nullptr);
}

void ListBoxList::Attach(HWND listbox) {
  listbox_ = listbox;
  ForgetSelection();
  count_ = -1;
  rows_ = 0;
  drawing_held_ = false;
  // A control that already holds lines sets the bound from them.
  MeasureLongestLine();
}

void ListBoxList::Detach() {
  listbox_ = nullptr;
  longest_line_ = 0;
  longest_known_ = true;
  selection_known_ = true;
  only_selected_ = -1;
  caret_ = -1;
  count_ = -1;
  drawing_held_ = false;
}

void ListBoxList::MeasureLongestLine() const {
  longest_line_ = 0;
  const int count = ListCount();
  for (int i = 0; i < count; ++i) {
    const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(i));
    if (length > 0) longest_line_ = std::max(longest_line_, static_cast<std::size_t>(length));
  }
  longest_known_ = true;
}

LRESULT ListBoxList::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (listbox_ == nullptr) throw SirelError(ErrorCode::WindowOperation);
  ++own_sends_;
  const LRESULT result = SendMessageW(listbox_, message, wParam, lParam);
  --own_sends_;
  return result;
}

void ListBoxList::Observe(UINT message, WPARAM, LPARAM lParam) {
  // The list's own writes keep what it remembers up to date themselves.
  const bool foreign = own_sends_ == 0;
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
      // The control has strings (LBS_HASSTRINGS): lParam is the wide text, whoever sent it.
      if (lParam != 0) {
        longest_line_ = std::max(longest_line_, std::wcslen(reinterpret_cast<const wchar_t*>(lParam)));
      }
      if (foreign) {
        count_ = -1;
        // An insertion moves later lines; an append (unsorted list) moves none, but the first
        // line of an empty list becomes the current one.
        caret_ = -1;
        if (message == LB_INSERTSTRING) ForgetSelection();
      }
      return;
    case LB_DIR:
    case LB_ADDFILE:
      longest_known_ = false;
      count_ = -1;
      ForgetSelection();
      return;
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCOUNT:
      if (foreign) {
        count_ = -1;
        ForgetSelection();
      }
      return;
    case LB_SETSEL:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_SETCARETINDEX:
      if (foreign) ForgetSelection();
      return;
    case WM_SIZE:
    case WM_SETFONT:
    case LB_SETITEMHEIGHT:
      rows_ = 0;
      return;
    default:
      return;
  }
}

// The first write of an update turns drawing off until the lines are shown (EndUpdate while the
// list is on screen, or ShowHeldLines). A list that is not on screen stays held until its window
// is shown: its writes then skip the control's scrolling and scroll-bar work, which nobody sees.
// Invalidating the owning window makes the thread's next WM_PAINT of it, when the thread runs its
// messages (or when the window comes on screen), show them.
void ListBoxList::HoldDrawing() {
  if (drawing_held_ || update_depth_ == 0 || listbox_ == nullptr) return;
  Send(WM_SETREDRAW, FALSE);
  // Wine's LISTBOX keeps scrolling its picture (ScrollWindowEx) with drawing off, as long as it
  // is visible; with the visible flag cleared, as Windows' own WM_SETREDRAW does, it does not.
  // Scrolling a shown window that is the child of another process's window never returns under
  // Wine, so this also keeps postings from hanging there.
  const LONG_PTR style = GetWindowLongPtrW(listbox_, GWL_STYLE);
  if ((style & WS_VISIBLE) != 0) SetWindowLongPtrW(listbox_, GWL_STYLE, style & ~WS_VISIBLE);
  drawing_held_ = true;
  InvalidateRect(GetParent(listbox_), nullptr, FALSE);
}

void ListBoxList::EndUpdate() {
  if (update_depth_ > 0) --update_depth_;
  if (update_depth_ == 0 && drawing_held_ && NowMs() - last_drawn_ms_ >= kFrameMs &&
      listbox_ != nullptr && IsWindowVisible(GetParent(listbox_))) {
    ShowHeldLines();
  }
}

void ListBoxList::ShowHeldLines() {
  if (!drawing_held_) return;
  drawing_held_ = false;
  if (listbox_ == nullptr) return;
  const LONG_PTR style = GetWindowLongPtrW(listbox_, GWL_STYLE);
  if ((style & WS_VISIBLE) == 0) SetWindowLongPtrW(listbox_, GWL_STYLE, style | WS_VISIBLE);
  ++own_sends_;
  SendMessageW(listbox_, WM_SETREDRAW, TRUE, 0);
  --own_sends_;
  RedrawWindow(listbox_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  last_drawn_ms_ = NowMs();
}

void ListBoxList::CheckIndex(std::int16_t index) const {
  if (index < 0 || index >= ListCount()) throw SirelError(ErrorCode::InvalidIndex);
}

std::wstring ListBoxList::TextAt(int index) const {
  const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) throw SirelError(ErrorCode::InvalidIndex);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (copied == LB_ERR) throw SirelError(ErrorCode::InvalidIndex);
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

void ListBoxList::AddItem(const std::u16string& text) {
  const int count = ListCount();
  if (count >= kMaxLines) throw SirelError(ErrorCode::ListFull);
  HoldDrawing();
  const std::wstring wide = ToWide(text);
  // (Observe raises the longest-line bound as the control receives the text.)
  const LRESULT result = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (result == LB_ERRSPACE) throw SirelError(ErrorCode::OutOfMemory);
  if (result == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  count_ = count + 1;
  // The first line of an empty list may become the current one.
  if (count == 0) caret_ = -1;
}

void ListBoxList::InsertItem(std::int16_t index, const std::u16string& text, VBool selected) {
  const int count = ListCount();
  if (index < 0 || index > count) throw SirelError(ErrorCode::InvalidIndex);
  if (count >= kMaxLines) throw SirelError(ErrorCode::ListFull);
  HoldDrawing();
  const int caret = count > 0 ? CaretIndex() : -1;
  const std::wstring wide = ToWide(text);
  const LRESULT result =
      Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
  if (result == LB_ERRSPACE) throw SirelError(ErrorCode::OutOfMemory);
  if (result == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  count_ = count + 1;
  caret_ = -1;
  longest_line_ = std::max(longest_line_, wide.size());
  if (selection_known_ && only_selected_ >= index) ++only_selected_;
  if (IsExactlyTrue(selected)) {
    ForgetSelection();
    Send(LB_SETSEL, TRUE, index);
  }
  // The current line moves down with its line, whatever the control does by itself.
  const int wanted = caret >= index ? caret + 1 : caret;
  KeepCaretAt(wanted);
}

void ListBoxList::RemoveItem(std::int16_t index) {
  CheckIndex(index);
  HoldDrawing();
  const int caret = CaretIndex();
  // The control answers with the number of lines left.
  const LRESULT remaining = Send(LB_DELETESTRING, static_cast<WPARAM>(index));
  if (remaining == LB_ERR) {
    count_ = -1;
    throw SirelError(ErrorCode::WindowOperation);
  }
  count_ = static_cast<int>(remaining);
  caret_ = -1;
  const int wanted =
      CurrentLineAfterRemoval(caret, index < caret ? 1 : 0, index == caret, count_);
  KeepCaretAt(wanted);
  if (selection_known_ && only_selected_ >= 0) {
    if (only_selected_ == index) {
      only_selected_ = -1;
    } else if (only_selected_ > index) {
      --only_selected_;
    }
  }
}

void ListBoxList::Clear() {
  HoldDrawing();
  Send(LB_RESETCONTENT);
  count_ = 0;
  selection_known_ = true;
  only_selected_ = -1;
  caret_ = -1;
}

std::int16_t ListBoxList::ListCount() const {
  if (count_ < 0) {
    const LRESULT count = Send(LB_GETCOUNT);
    if (count < 0) throw SirelError(ErrorCode::WindowOperation);
    count_ = static_cast<int>(count);  // a LISTBOX counts its lines in an int
  }
  return static_cast<std::int16_t>(std::min(count_, static_cast<int>(kMaxLines)));
}

int ListBoxList::CaretIndex() const {
  return caret_ >= 0 ? caret_ : static_cast<int>(Send(LB_GETCARETINDEX));
}

// Makes `wanted` the current line unless the control has put it there already; -1: no line.
void ListBoxList::KeepCaretAt(int wanted) {
  if (wanted < 0) return;
  if (static_cast<int>(Send(LB_GETCARETINDEX)) != wanted) {
    MoveCaretTo(wanted);
  } else {
    caret_ = wanted;
  }
}

std::u16string ListBoxList::LineText(std::int16_t index) const {
  if (index == -1) return std::u16string();
  CheckIndex(index);
  return FromWide(TextAt(index));
}

VBool ListBoxList::Selected(std::int16_t index) const {
  CheckIndex(index);
  return ToVBool(Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0);
}

std::int16_t ListBoxList::SelCount() const {
  if (selection_known_) return only_selected_ >= 0 ? 1 : 0;
  const LRESULT count = Send(LB_GETSELCOUNT);
  if (count == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  return static_cast<std::int16_t>(count);
}

void ListBoxList::SelectOnly(std::int16_t index) {
  CheckIndex(index);
  HoldDrawing();
  // Make the line the only selected one, deselecting just the line we know of when we can.
  if (!selection_known_) {
    Send(LB_SETSEL, FALSE, -1);
  } else if (only_selected_ >= 0 && only_selected_ != index) {
    Send(LB_SETSEL, FALSE, only_selected_);
  }
  // A line that becomes current is scrolled into view by the control itself (LB_SETCARETINDEX,
  // and under Wine already LB_SETSEL); the line that was current already is scrolled here, since
  // the user may have scrolled away from it.
  const bool wasCurrent = caret_ < 0 || caret_ == index;
  if (Send(LB_SETSEL, TRUE, index) == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  selection_known_ = true;
  only_selected_ = index;
  MoveCaretTo(index);
  if (wasCurrent) ScrollIntoView(index);
}

void ListBoxList::MoveCaretTo(int index) {
  Send(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  Send(LB_SETANCHORINDEX, static_cast<WPARAM>(index));
  caret_ = index;
}

void ListBoxList::ScrollIntoView(int index) {
  const int top = static_cast<int>(Send(LB_GETTOPINDEX));
  if (rows_ <= 0) {
    const int rowHeight = std::max(1, static_cast<int>(Send(LB_GETITEMHEIGHT, 0)));
    RECT client{};
    GetClientRect(listbox_, &client);
    rows_ = std::max(1, static_cast<int>(client.bottom - client.top) / rowHeight);
  }
  const int rows = rows_;
  if (index < top) {
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(index));
  } else if (index >= top + rows) {
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(index - rows + 1));
  }
}

std::int16_t ListBoxList::ListIndex() const {
  if (ListCount() == 0) return -1;
  return static_cast<std::int16_t>(CaretIndex());
}

void ListBoxList::SetSelected(std::int16_t index, bool selected) {
  CheckIndex(index);
  ForgetSelection();
  if (Send(LB_SETSEL, selected ? TRUE : FALSE, index) == LB_ERR) {
    throw SirelError(ErrorCode::WindowOperation);
  }
}

void ListBoxList::SelectAll() {
  ForgetSelection();
  if (ListCount() > 0) Send(LB_SETSEL, TRUE, -1);
}

void ListBoxList::RemoveSelected() {
  if (selection_known_) {
    if (only_selected_ >= 0) RemoveItem(static_cast<std::int16_t>(only_selected_));
    return;
  }
  const LRESULT selectedCount = Send(LB_GETSELCOUNT);
  if (selectedCount == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  if (selectedCount <= 0) {
    selection_known_ = true;
    only_selected_ = -1;
    return;
  }
  HoldDrawing();
  std::vector<int> selected(static_cast<std::size_t>(selectedCount));
  const LRESULT got = Send(LB_GETSELITEMS, static_cast<WPARAM>(selected.size()),
                           reinterpret_cast<LPARAM>(selected.data()));
  if (got == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  selected.resize(static_cast<std::size_t>(got));
  std::sort(selected.begin(), selected.end());

  if (selected.size() <= kMaxSingleRemovals) {
    // From the last index down, so the lines still to go keep their indexes.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
      RemoveItem(static_cast<std::int16_t>(*it));
    }
  } else {
    RebuildWithout(selected);
  }
  selection_known_ = true;
  only_selected_ = -1;
}

// Removes the given lines (ascending indexes, every selected line) in one pass: reads the kept
// lines, empties the control and adds them back. The kept lines were all unselected, so the
// control is left with no selection, as single removals would leave it; the caret and the first
// visible line follow their lines.
void ListBoxList::RebuildWithout(const std::vector<int>& removed) {
  const int count = static_cast<int>(Send(LB_GETCOUNT));
  const int caret = static_cast<int>(Send(LB_GETCARETINDEX));
  const int top = static_cast<int>(Send(LB_GETTOPINDEX));

  std::vector<std::wstring> kept;
  kept.reserve(static_cast<std::size_t>(count) - removed.size());
  std::size_t bytes = 0;
  auto next = removed.begin();
  int removedBeforeCaret = 0;
  int removedBeforeTop = 0;
  bool caretRemoved = false;
  for (int i = 0; i < count; ++i) {
    if (next != removed.end() && *next == i) {
      ++next;
      if (i < caret) ++removedBeforeCaret;
      if (i == caret) caretRemoved = true;
      if (i < top) ++removedBeforeTop;
      continue;
    }
    kept.push_back(TextAt(i));
    bytes += (kept.back().size() + 1) * sizeof(wchar_t);
  }

  const int remaining = static_cast<int>(kept.size());
  const int newCaret = CurrentLineAfterRemoval(caret, removedBeforeCaret, caretRemoved, remaining);

  // Drawing already held by an update stays held; else it is off for the rebuild alone.
  const bool held = drawing_held_;
  if (!held) Send(WM_SETREDRAW, FALSE);
  Send(LB_RESETCONTENT);
  count_ = -1;
  caret_ = -1;
  Send(LB_INITSTORAGE, static_cast<WPARAM>(remaining), static_cast<LPARAM>(bytes));
  bool failed = false;
  for (const std::wstring& text : kept) {
    const LRESULT result = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (result == LB_ERR || result == LB_ERRSPACE) {
      failed = true;
      break;
    }
  }
  if (!failed && newCaret >= 0) {
    MoveCaretTo(newCaret);
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, top - removedBeforeTop)));
  }
  if (!held) {
    Send(WM_SETREDRAW, TRUE);
    RedrawWindow(listbox_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
  }
  if (failed) throw SirelError(ErrorCode::OutOfMemory);
}

}  // namespace sirel::win32
