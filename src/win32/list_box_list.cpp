#include "win32/list_box_list.h"

#include <algorithm>

#include "core/current_line.h"
#include "core/errors.h"
#include "win32/text_conversion.h"

namespace sirel::win32 {

HWND CreateMessageListBox(HWND parent, HINSTANCE instance, int controlId, const RECT& bounds) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL |
                      LBS_NOTIFY | LBS_HASSTRINGS;
  return CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", style, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance,
                         nullptr);
}

WNDPROC ListBoxList::class_proc_ = nullptr;

bool ListBoxList::Attach(HWND listbox, ListInputHandler* input) {
  const LONG_PTR previous =
      SetWindowLongPtrW(listbox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListBoxList::ControlProc));
  if (previous == 0) return false;
  class_proc_ = reinterpret_cast<WNDPROC>(previous);
  SetWindowLongPtrW(listbox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listbox_ = listbox;
  input_ = input;
  pending_ = -1;
  selection_held_ = false;
  view_held_ = false;
  exact_.clear();
  known_.Reset();
  known_.ForgetSelection();
  hold_.Attach(listbox);
  // A control that already holds lines sets the bound from them.
  MeasureLongestLine();
  return true;
}

void ListBoxList::Detach() {
  if (listbox_ != nullptr && IsWindow(listbox_)) {
    SetWindowLongPtrW(listbox_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(class_proc_));
  }
  Disarm();
}

void ListBoxList::Disarm() noexcept {
  if (listbox_ != nullptr) SetWindowLongPtrW(listbox_, GWLP_USERDATA, 0);
  listbox_ = nullptr;
  input_ = nullptr;
  pending_ = -1;
  selection_held_ = false;
  view_held_ = false;
  // The lines' exact texts are read through the control alone: detached, they are let go.
  exact_.clear();
  known_.Reset();
  hold_.Detach();
}

// Nothing may unwind through the window system: a failing handler answers 0.
LRESULT CALLBACK ListBoxList::ControlProc(HWND listbox, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  auto* self = reinterpret_cast<ListBoxList*>(GetWindowLongPtrW(listbox, GWLP_USERDATA));
  if (self == nullptr) return CallWindowProcW(class_proc_, listbox, message, wParam, lParam);
  try {
    const bool own = self->own_sends_ > 0;
    // Whoever reads or changes the selection, the view or the lines' places, and the person's
    // mouse and keys, meet the control as if every posting had moved the selection itself.
    if (self->pending_ >= 0 && !self->applying_ && NeedsAppliedSelection(message, own)) {
      self->ApplyPendingSelection(IsMouseInput(message));
    }
    self->known_.Observe(message, wParam, lParam, own);
    LRESULT result = 0;
    self->held_by_find_ = false;
    if (self->input_ == nullptr || !self->input_->OnListInput(message, wParam, lParam, &result)) {
      result = CallWindowProcW(class_proc_, listbox, message, wParam, lParam);
    }
    if (IsPersonInput(message, wParam)) self->NotePersonInput();
    return result;
  } catch (...) {
    return 0;
  }
}

void ListBoxList::MeasureLongestLine() const {
  known_.longest_line = 0;
  const int count = ListCount();
  for (int i = 0; i < count; ++i) {
    const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(i));
    if (length > 0) known_.longest_line = std::max(known_.longest_line, static_cast<std::size_t>(length));
  }
  known_.longest_known = true;
}

LRESULT ListBoxList::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (listbox_ == nullptr) throw SirelError(ErrorCode::WindowOperation);
  ++own_sends_;
  const LRESULT result = SendMessageW(listbox_, message, wParam, lParam);
  --own_sends_;
  return result;
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
  hold_.HoldForWrite();
  bool holdsNul = false;
  const std::wstring wide = Displayed(text, &holdsNul);
  const LRESULT result = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (result == LB_ERRSPACE) throw SirelError(ErrorCode::OutOfMemory);
  if (result == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  if (holdsNul) KeepExactText(static_cast<int>(result), text);
  known_.count = count + 1;
  // The first line of an empty list may become the current one.
  if (count == 0) known_.caret = -1;
}

void ListBoxList::InsertItem(std::int16_t index, const std::u16string& text, VBool selected) {
  ApplyPendingSelection();
  const int count = ListCount();
  if (index < 0 || index > count) throw SirelError(ErrorCode::InvalidIndex);
  if (count >= kMaxLines) throw SirelError(ErrorCode::ListFull);
  hold_.HoldForWrite();
  const int caret = count > 0 ? CaretIndex() : -1;
  bool holdsNul = false;
  const std::wstring wide = Displayed(text, &holdsNul);
  const LRESULT result =
      Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
  if (result == LB_ERRSPACE) throw SirelError(ErrorCode::OutOfMemory);
  if (result == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  if (holdsNul) KeepExactText(index, text);
  known_.count = count + 1;
  known_.caret = -1;
  if (known_.selection_known && known_.only_selected >= index) ++known_.only_selected;
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
  if (pending_ >= 0 && index != pending_) {
    RemoveBesidePending(index);
    return;
  }
  ApplyPendingSelection();
  hold_.HoldForWrite();
  const int top = FollowsPostings() ? -1 : static_cast<int>(Send(LB_GETTOPINDEX));
  const int caret = CaretIndex();
  // The control answers with the number of lines left.
  const LRESULT remaining = Send(LB_DELETESTRING, static_cast<WPARAM>(index));
  if (remaining == LB_ERR) {
    known_.count = -1;
    throw SirelError(ErrorCode::WindowOperation);
  }
  known_.count = static_cast<int>(remaining);
  known_.caret = -1;
  const int wanted =
      CurrentLineAfterRemoval(caret, index < caret ? 1 : 0, index == caret, known_.count);
  KeepCaretAt(wanted);
  known_.NoteRemoved(index);
  if (index < top) KeepTopAt(top - 1);
  EndHoldIfSelectionGone();
}

void ListBoxList::Clear() {
  hold_.HoldForWrite();
  pending_ = -1;
  // An empty list follows the postings again, whoever held it.
  selection_held_ = false;
  view_held_ = false;
  Send(LB_RESETCONTENT);
  exact_.clear();
  known_.count = 0;
  known_.selection_known = true;
  known_.only_selected = -1;
  known_.caret = -1;
}

std::int16_t ListBoxList::ListCount() const {
  if (known_.count < 0) {
    const LRESULT count = Send(LB_GETCOUNT);
    if (count < 0) throw SirelError(ErrorCode::WindowOperation);
    known_.count = static_cast<int>(count);  // a LISTBOX counts its lines in an int
  }
  return static_cast<std::int16_t>(std::min(known_.count, static_cast<int>(kMaxLines)));
}

int ListBoxList::CaretIndex() const {
  return known_.caret >= 0 ? known_.caret : static_cast<int>(Send(LB_GETCARETINDEX));
}

// Makes `wanted` the current line unless the control has put it there already; -1: no line.
void ListBoxList::KeepCaretAt(int wanted) {
  if (wanted < 0) return;
  if (static_cast<int>(Send(LB_GETCARETINDEX)) != wanted) {
    MoveCaretTo(wanted);
  } else {
    known_.caret = wanted;
  }
}

std::u16string ListBoxList::LineText(std::int16_t index) const {
  if (index == -1) return std::u16string();
  CheckIndex(index);
  const std::wstring shown = TextAt(index);
  return ExactText(index, shown.data(), shown.size());
}

VBool ListBoxList::Selected(std::int16_t index) const {
  CheckIndex(index);
  if (known_.selection_known) return ToVBool(index == known_.only_selected);
  return ToVBool(Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0);
}

std::int16_t ListBoxList::SelCount() const {
  if (known_.selection_known) return known_.only_selected >= 0 ? 1 : 0;
  const LRESULT count = Send(LB_GETSELCOUNT);
  if (count == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  return static_cast<std::int16_t>(count);
}

std::int16_t ListBoxList::ListIndex() const {
  if (ListCount() == 0) return -1;
  return static_cast<std::int16_t>(CaretIndex());
}

void ListBoxList::SetSelected(std::int16_t index, bool selected) {
  CheckIndex(index);
  ApplyPendingSelection();
  ForgetSelection();
  if (Send(LB_SETSEL, selected ? TRUE : FALSE, index) == LB_ERR) {
    throw SirelError(ErrorCode::WindowOperation);
  }
}

void ListBoxList::HoldSelectionAt(std::int16_t index) {
  CheckIndex(index);
  ApplyPendingSelection();
  ForgetSelection();
  Send(LB_SETSEL, FALSE, -1);
  if (Send(LB_SETSEL, TRUE, index) == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  MoveCaretTo(index);
  ScrollIntoView(index);
  known_.selection_known = true;
  known_.only_selected = index;
  selection_held_ = true;
  view_held_ = !LastInView();
  // The key that found it (F3 on the list) is the person's input too: it must not give the
  // list back because the found line happens to be the newest.
  held_by_find_ = true;
}

void ListBoxList::SelectAll() {
  ApplyPendingSelection();
  ForgetSelection();
  if (ListCount() > 0) Send(LB_SETSEL, TRUE, -1);
}

}  // namespace sirel::win32
