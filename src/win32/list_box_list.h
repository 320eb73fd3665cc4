// The message list port (platform/message_list.h) on a real LISTBOX control: extended multiple
// selection, unsorted, integral height, wide-character text. The window that owns the control
// attaches it after creating it and detaches it when the control is destroyed; operations on a
// detached list throw WindowOperation.
//
// Beyond the port's contract:
// - The current line (the caret) follows removals by the rule of core/current_line.h, whatever
//   the control would do by itself; RemoveSelected leaves what single removals would leave.
// - The list subclasses its control: every message the control receives passes first through
//   what the list remembers of it (win32/remembered_list_state.h), then to the owner's input
//   handler (mouse and keys), then to the LISTBOX class.
// - Its picture waits for the frame (win32/drawing_hold.h) while a posting writes, and so does
//   the move of the selection, the current line and the view to the newest line: a posting
//   appends at once, and SelectOnly is applied to the control once per frame. Every reader meets
//   the state as if each posting had applied it (list_box_list_follow.cpp).
// - Two holds, each for what the person did (list_box_list_follow.cpp). Scrolling away from the
//   end holds the view: postings still make the newest line current and selected, without
//   moving the view, until the person is back at the end. Selecting lines holds the selection:
//   SelectOnly does nothing until the person gives the list back (the newest line the only
//   selected one, or nothing selected) or the person's selected lines are all gone (removed by
//   any path, trimmed, cleared).
// - A line is kept exactly: a LISTBOX string ends at a NUL, so a line that holds one shows each
//   NUL as U+2400 and keeps its exact text in the list's own table, keyed by the line's item
//   data and freed with the line (list_box_list_exact_text.cpp); every reader of the list gets
//   the exact text, other programs reading the control see the mark.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/message_list.h"
#include "win32/drawing_hold.h"
#include "win32/remembered_list_state.h"

namespace sirel::win32 {

// Creates the LISTBOX control (styles above, plus a client edge and a vertical scroll bar) as a
// child of parent with the given bounds in pixels. Returns nullptr when it cannot be made.
HWND CreateMessageListBox(HWND parent, HINSTANCE instance, int controlId, const RECT& bounds);

// The owner's handling of the mouse and keys on the list: true when it handled the message,
// with its result in *result; false lets the LISTBOX class handle it.
class ListInputHandler {
 public:
  virtual bool OnListInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

 protected:
  ~ListInputHandler() = default;
};

class ListBoxList final : public MessageList {
 public:
  ListBoxList() = default;
  ListBoxList(const ListBoxList&) = delete;
  ListBoxList& operator=(const ListBoxList&) = delete;

  // Takes the control and subclasses it; input goes to the handler (may be null). False when
  // the control cannot be subclassed.
  bool Attach(HWND listbox, ListInputHandler* input);
  // Gives the control back to its class's procedure when it still exists.
  void Detach();
  // Lets go of the control without sending it anything: its procedure no longer reaches this
  // object (for a window abandoned to the system, or one of another thread).
  void Disarm() noexcept;
  HWND hwnd() const { return listbox_; }

  void AddItem(const std::u16string& text) override;
  void RemoveItem(std::int16_t index) override;
  void InsertItem(std::int16_t index, const std::u16string& text, VBool selected) override;
  void Clear() override;
  std::int16_t ListCount() const override;
  std::u16string LineText(std::int16_t index) const override;
  VBool Selected(std::int16_t index) const override;
  std::int16_t SelCount() const override;
  void SelectOnly(std::int16_t index) override;
  void RemoveSelected() override;
  void BeginUpdate() override { hold_.BeginUpdate(); }
  void EndUpdate() override;
  // One pass over the control (list_box_list_lines.cpp).
  void AppendLines(std::u16string& out, bool selectedOnly,
                   std::u16string_view lineEnd) const override;
  std::int16_t VisitLines(std::int16_t first, std::int16_t last,
                          const LineVisitor& visit) const override;

  // The current line (the caret), or -1 for an empty list. Not part of the port.
  std::int16_t ListIndex() const;
  // Sets one line's selected flag as a Ctrl+click would. Not part of the port.
  void SetSelected(std::int16_t index, bool selected);
  // Selects every line (Ctrl+A).
  void SelectAll();
  // Makes line index the only selected and current one, in view, and holds the selection as
  // the person's (a line the person found). Not part of the port.
  void HoldSelectionAt(std::int16_t index);
  // Drops what the list remembers of the selection and current line (win32/remembered_list_state.h).
  void ForgetSelection() { known_.ForgetSelection(); }
  // Applies the selection postings left for the frame and draws the lines held back since the
  // last drawing, if any. Never throws.
  void ShowHeldLines() noexcept;
  bool HoldsDrawing() const { return hold_.held(); }
  // False while the person holds the selection or the view (list_box_list_follow.cpp).
  bool FollowsPostings() const { return !selection_held_ && !view_held_; }
  // The control's owner forwards each WM_DELETEITEM's item data: the exact text of a line that
  // held a NUL goes with its line. Ignored while detached.
  void ForgetExactText(ULONG_PTR key) noexcept;

 private:
  static LRESULT CALLBACK ControlProc(HWND listbox, UINT message, WPARAM wParam, LPARAM lParam);
  static WNDPROC class_proc_;  // the LISTBOX class's procedure

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void CheckIndex(std::int16_t index) const;
  std::wstring TextAt(int index) const;
  // Lines that hold a NUL (list_box_list_exact_text.cpp).
  static std::wstring Displayed(const std::u16string& text, bool* holdsNul);
  void KeepExactText(int index, const std::u16string& text);
  std::u16string ExactText(int index, const wchar_t* shown, std::size_t length) const;
  ULONG_PTR ExactKeyAt(int index, const wchar_t* shown, std::size_t length) const;
  int CaretIndex() const;
  void KeepCaretAt(int wanted);
  void MoveCaretTo(int index);
  void ScrollIntoView(int index);
  // The person and the postings (list_box_list_follow.cpp).
  static bool NeedsAppliedSelection(UINT message, bool own);
  static bool IsPersonInput(UINT message, WPARAM wParam);
  static bool IsMouseInput(UINT message);
  void ApplyPendingSelection(bool keepView = false);
  void RemoveBesidePending(std::int16_t index);
  void NotePersonInput();
  bool LastInView();
  void EndHoldIfSelectionGone();
  // Reads the given lines in one pass until visit returns true (list_box_list_lines.cpp).
  std::int16_t ReadEach(const std::vector<int>& indexes, const LineVisitor& visit) const;
  int RowsShown();
  void KeepTopAt(int top);
  template <class Change>
  void WithoutScrollingPicture(Change change);
  void RebuildWithout(const std::vector<int>& removed);
  void MeasureLongestLine() const;

  HWND listbox_ = nullptr;
  ListInputHandler* input_ = nullptr;
  mutable RememberedListState known_;
  DrawingHold hold_;
  // Depth of the list's own Send calls: messages seen meanwhile are its own writes.
  mutable int own_sends_ = 0;
  // The person's holds: of the selection (postings then leave the selection, the current line
  // and the view alone), and of the view (postings select without scrolling).
  bool selection_held_ = false;
  bool view_held_ = false;
  // Set by HoldSelectionAt during the message being handled, so that it stays held.
  bool held_by_find_ = false;
  // The exact texts of the lines that hold a NUL, by the key in their item data.
  std::unordered_map<ULONG_PTR, std::u16string> exact_;
  ULONG_PTR next_key_ = 0;
  // The line a posting made the only selected and current one, not yet applied to the control
  // (-1: none); what the control had selected then (from_known_ false: not known).
  int pending_ = -1;
  bool pending_from_known_ = true;
  int pending_from_ = -1;
  bool applying_ = false;
};

}  // namespace sirel::win32
