// Removing the selected lines of the LISTBOX: one by one for a few, by rebuilding the control
// from the first selected line on for many, since each single removal moves every later line.
// The rebuild loses no kept line, whatever fails: it reserves the control's storage before it
// removes anything (a refusal ends it with nothing changed), removes the lines from the end
// (which moves none and needs no memory), and adds the kept ones back into the memory those
// lines just gave up; should an add fail all the same, it goes on putting every remaining kept
// line back before it reports the failure.
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
    try {
      RebuildWithout(selected);
    } catch (...) {
      known_.ForgetSelection();
      EndHoldIfSelectionGone();
      throw;
    }
  }
  known_.selection_known = true;
  known_.only_selected = -1;
  EndHoldIfSelectionGone();
}

// Removes the given lines (ascending indexes, every selected line) in one pass: reads the kept
// lines from the first removed one on, removes that tail from its end and adds the kept lines
// back. The kept lines were all unselected, so the control is left with no selection, as single
// removals would leave it; the caret and the first visible line follow their lines. An error
// ends the removal after every kept line is back.
void ListBoxList::RebuildWithout(const std::vector<int>& removed) {
  const int count = static_cast<int>(Send(LB_GETCOUNT));
  const int caret = static_cast<int>(Send(LB_GETCARETINDEX));
  const int top = static_cast<int>(Send(LB_GETTOPINDEX));
  const int first = removed.front();

  std::vector<std::wstring> kept;
  std::vector<ULONG_PTR> keys;  // of the kept lines that hold a NUL, else 0
  std::vector<int> keyed;       // where those lines are now
  kept.reserve(static_cast<std::size_t>(count - first) - removed.size());
  keys.reserve(kept.capacity());
  std::size_t bytes = 0;
  auto next = removed.begin();
  int removedBeforeCaret = 0;
  int removedBeforeTop = 0;
  bool caretRemoved = false;
  for (int i = first; i < count; ++i) {
    if (next != removed.end() && *next == i) {
      ++next;
      if (i < caret) ++removedBeforeCaret;
      if (i == caret) caretRemoved = true;
      if (i < top) ++removedBeforeTop;
      continue;
    }
    kept.push_back(TextAt(i));
    keys.push_back(ExactKeyAt(i, kept.back().data(), kept.back().size()));
    if (keys.back() != 0) keyed.push_back(i);
    bytes += (kept.back().size() + 1) * sizeof(wchar_t);
  }
  const int remaining = first + static_cast<int>(kept.size());
  const int newCaret = CurrentLineAfterRemoval(caret, removedBeforeCaret, caretRemoved, remaining);

  // Room for the kept lines before anything goes.
  if (Send(LB_INITSTORAGE, kept.size(), static_cast<LPARAM>(bytes)) == LB_ERRSPACE) {
    throw SirelError(ErrorCode::OutOfMemory);
  }
  // Drawing already held by an update stays held; else it is off for the rebuild alone.
  const bool held = hold_.held();
  if (!held) Send(WM_SETREDRAW, FALSE);
  known_.count = -1;
  known_.caret = -1;
  // The kept lines' exact texts stay in the table: their lines give up their keys first, so
  // that removing them forgets nothing.
  for (const int i : keyed) Send(LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
  for (int i = count - 1; i >= first; --i) Send(LB_DELETESTRING, static_cast<WPARAM>(i));
  bool failed = false;
  for (std::size_t k = 0; k < kept.size(); ++k) {
    LRESULT added = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kept[k].c_str()));
    // A refused line is tried once more, and the rest go on: the failure is reported after.
    if (added < 0) {
      failed = true;
      added = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kept[k].c_str()));
    }
    if (added >= 0 && keys[k] != 0) Send(LB_SETITEMDATA, static_cast<WPARAM>(added), keys[k]);
    if (added < 0 && keys[k] != 0) exact_.erase(keys[k]);
  }
  if (newCaret >= 0 && newCaret < static_cast<int>(Send(LB_GETCOUNT))) {
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
