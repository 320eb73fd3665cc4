// What a LISTBOX list remembers of its control, so that a posting sends few messages: the lines
// its own writes left selected (none, or the one line SelectOnly chose), the current line and
// the line count they left, how many whole rows the control shows, and how long the longest
// line is (so that reading a line takes one message into a buffer of that size).
//
// Every message the control receives passes through Observe() first, from whoever sent it: a
// selection change, insertion or removal from any other sender (the user, another thread or
// process) drops the selection and current-line knowledge, an insertion or removal drops the
// count, and every line added by any sender raises the longest-line bound (LB_DIR and
// LB_ADDFILE make it unknown: it is measured again on the next read). Anything forgotten is read
// from the control again when next needed.
#pragma once

#include <windows.h>

#include <cstddef>

namespace sirel::win32 {

struct RememberedListState {
  // When selection_known is true, only_selected is the one selected line, or -1 for none.
  bool selection_known = true;
  int only_selected = -1;
  // The current line and the line count as the list's own writes left them; -1: not known.
  int caret = -1;
  int count = -1;
  // Whole rows the control shows; 0: not known (its size or font changed).
  int rows = 0;
  // No line of the control is longer than this (in UTF-16 units); longest_known false: a sender
  // added lines of unknown length.
  std::size_t longest_line = 0;
  bool longest_known = true;

  // An empty control, nothing remembered of a control's state.
  void Reset() { *this = RememberedListState{}; }
  void ForgetSelection() {
    selection_known = false;
    caret = -1;
  }
  // A message the control receives; own: sent by the list's own writes, which keep the rest
  // up to date themselves.
  void Observe(UINT message, WPARAM wParam, LPARAM lParam, bool own);
  // The list's own removal of a line: the one selected line follows its index.
  void NoteRemoved(int index);
};

}  // namespace sirel::win32
