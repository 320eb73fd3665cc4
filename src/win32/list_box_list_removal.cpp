// Removing the selected lines of the LISTBOX: one by one for a few, by rebuilding the control
// for many, since each single removal moves every later line.
#include <algorithm>

#include "core/current_line.h"
#include "core/errors.h"
#include "win32/list_box_list.h"

namespace sirel::win32 {

namespace {

// Up to this many selected lines, RemoveSelected removes them one by one.
constexpr std::size_t kMaxSingleRemovals = 16;

}  // namespace

void ListBoxList::RemoveSelected() {
  ApplyPendingSelection();
  if (known_.selection_known) {
    if (known_.only_selected >= 0) RemoveItem(static_cast<std::int16_t>(known_.only_selected));
    return;
  }
  const LRESULT selectedCount = Send(LB_GETSELCOUNT);
  if (selectedCount == LB_ERR) throw SirelError(ErrorCode::WindowOperation);
  if (selectedCount <= 0) {
    known_.selection_known = true;
    known_.only_selected = -1;
    return;
  }
  hold_.HoldForWrite();
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
  known_.selection_known = true;
  known_.only_selected = -1;
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
  const bool held = hold_.held();
  if (!held) Send(WM_SETREDRAW, FALSE);
  Send(LB_RESETCONTENT);
  known_.count = -1;
  known_.caret = -1;
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
