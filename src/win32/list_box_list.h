// The message list port (platform/message_list.h) on a real LISTBOX control: extended multiple
// selection, unsorted, integral height, wide-character text. The window that owns the control
// attaches it after creating it and detaches it when the control is destroyed; operations on a
// detached list throw WindowOperation.
//
// Beyond the port's contract:
// - The current line (the caret) follows removals by the rule of core/current_line.h, whatever
//   the control would do by itself; RemoveSelected leaves what single removals would leave.
// - To stay fast on long lists the object remembers which line its own writes left selected
//   (none, or the one line SelectOnly chose), so that a posting deselects one line instead of
//   walking them all, and how long the longest line is, so that AppendLines reads each line with
//   one message. It also remembers the line count and the current line its own writes left,
//   which saves a posting most of its reads. The owning window passes every message the control
//   receives to Observe() first: a selection change, insertion or removal from any other sender
//   (the user, another thread or process) drops the selection and current-line knowledge, an
//   insertion or removal drops the count, and every line added by any sender raises the bound
//   (LB_DIR and LB_ADDFILE make it unknown: it is measured again on the next read). Anything
//   forgotten is read from the control again when next needed. ForgetSelection() drops the
//   selection and current-line knowledge directly.
// - Drawing within an update (BeginUpdate/EndUpdate, one posting): the first write of an update
//   turns the control's redrawing off (WM_SETREDRAW) and invalidates the owning window. While
//   the owning window is on screen, the lines are drawn again, all at once, by the end of an
//   update when the last drawing is a frame (kFrameMs) old, or by ShowHeldLines(), which the
//   owning window calls when the thread runs its messages (its WM_PAINT) or shows the window,
//   whichever is first. So a tight loop of postings draws at most once a frame, and no timer is
//   needed; a list that is not on screen stays held until it is shown. Reads are never
//   affected: the control holds every line at once; only its picture waits.
// - A NUL character ends a LISTBOX string: a line keeps its text up to the first NUL.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/message_list.h"

namespace sirel::win32 {

// Creates the LISTBOX control (styles above, plus a client edge and a vertical scroll bar) as a
// child of parent with the given bounds in pixels. Returns nullptr when it cannot be made.
HWND CreateMessageListBox(HWND parent, HINSTANCE instance, int controlId, const RECT& bounds);

class ListBoxList final : public MessageList {
 public:
  ListBoxList() = default;
  ListBoxList(const ListBoxList&) = delete;
  ListBoxList& operator=(const ListBoxList&) = delete;

  void Attach(HWND listbox);
  void Detach();
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
  void BeginUpdate() override { ++update_depth_; }
  void EndUpdate() override;
  // One pass over the control (list_box_list_lines.cpp).
  void AppendLines(std::u16string& out, bool selectedOnly,
                   std::u16string_view lineEnd) const override;

  // The current line (the caret), or -1 for an empty list. Not part of the port.
  std::int16_t ListIndex() const;
  // Sets one line's selected flag as a Ctrl+click would. Not part of the port.
  void SetSelected(std::int16_t index, bool selected);
  // Selects every line (Ctrl+A).
  void SelectAll();
  // See the contract above.
  void ForgetSelection() {
    selection_known_ = false;
    caret_ = -1;
  }
  void Observe(UINT message, WPARAM wParam, LPARAM lParam);
  // Draws the lines held back since the last drawing, if any. Never throws.
  void ShowHeldLines();
  bool HoldsDrawing() const { return drawing_held_; }

  static constexpr double kFrameMs = 30.0;

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void CheckIndex(std::int16_t index) const;
  std::wstring TextAt(int index) const;
  int CaretIndex() const;
  void KeepCaretAt(int wanted);
  void MoveCaretTo(int index);
  void ScrollIntoView(int index);
  void RebuildWithout(const std::vector<int>& removed);
  void HoldDrawing();
  void MeasureLongestLine() const;

  HWND listbox_ = nullptr;
  // When selection_known_ is true, only_selected_ is the one selected line, or -1 for none.
  bool selection_known_ = true;
  int only_selected_ = -1;
  // The current line and the line count as the list's own writes left them; -1: not known.
  int caret_ = -1;
  mutable int count_ = -1;
  // Whole rows the control shows, for scrolling a line into view; 0: not known (its size or
  // font changed).
  int rows_ = 0;
  // No line of the control is longer than this (in UTF-16 units): every line enters through
  // AddItem or is re-added from the control itself. Lets AppendLines read a line with one
  // message into a buffer of this size, without asking each line's length first.
  // longest_known_ false: a sender added lines of unknown length; measured on the next read.
  mutable std::size_t longest_line_ = 0;
  mutable bool longest_known_ = true;
  // Depth of the list's own Send calls: messages seen by Observe meanwhile are its own writes.
  mutable int own_sends_ = 0;
  int update_depth_ = 0;
  bool drawing_held_ = false;
  double last_drawn_ms_ = -1e9;
};

}  // namespace sirel::win32
