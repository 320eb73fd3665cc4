// Reading many lines of the LISTBOX in one pass, for the copy and export commands and the find: the count
// and the selection are asked once, each line costs one message, and one buffer, as long as the
// longest line the control ever received (from any sender), serves every line. The line reads
// go straight to the LISTBOX class's own procedure: the window's subclass procedure has nothing
// to do with a read, and passing through it would double the cost of reading a full list
// (32767 lines) under Wine. Reading line by line through List() costs about three times as
// much again. A line that holds a NUL is read from the list's own table
// (list_box_list_exact_text.cpp).
#include <vector>

#include "core/errors.h"
#include "win32/list_box_list.h"

namespace sirel::win32 {

void ListBoxList::AppendLines(std::u16string& out, bool selectedOnly,
                                   std::u16string_view lineEnd) const {
  std::vector<int> indexes;
  const int count = ListCount();
  if (selectedOnly) {
    const LRESULT selected = Send(LB_GETSELCOUNT);
    if (selected <= 0) return;
    indexes.resize(static_cast<std::size_t>(selected));
    const LRESULT got = Send(LB_GETSELITEMS, static_cast<WPARAM>(selected),
                             reinterpret_cast<LPARAM>(indexes.data()));
    indexes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  } else {
    indexes.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) indexes[static_cast<std::size_t>(i)] = i;
  }
  ReadEach(indexes, [&](std::int16_t, std::u16string_view text) {
    out.append(text);
    out.append(lineEnd);
    return false;
  });
}

std::int16_t ListBoxList::VisitLines(std::int16_t first, std::int16_t last,
                                     const LineVisitor& visit) const {
  CheckIndex(first);
  CheckIndex(last);
  const int step = first <= last ? 1 : -1;
  std::vector<int> indexes;
  indexes.reserve(static_cast<std::size_t>((last - first) * step + 1));
  for (int i = first;; i += step) {
    indexes.push_back(i);
    if (i == last) break;
  }
  return ReadEach(indexes, visit);
}

std::int16_t ListBoxList::ReadEach(const std::vector<int>& indexes, const LineVisitor& visit) const {
  const int count = ListCount();
  const auto listboxProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd(), GCLP_WNDPROC));
  const auto read = [&](UINT message, int index, wchar_t* text) {
    return CallWindowProcW(listboxProc, hwnd(), message, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(text));
  };
  if (!known_.longest_known) MeasureLongestLine();
  std::wstring buffer(known_.longest_line + 1, L'\0');
  for (const int index : indexes) {
    if (index >= count) throw SirelError(ErrorCode::InvalidIndex);
    const LRESULT copied = read(LB_GETTEXT, index, buffer.data());
    if (copied == LB_ERR) throw SirelError(ErrorCode::InvalidIndex);
    const ULONG_PTR key = ExactKeyAt(index, buffer.data(), static_cast<std::size_t>(copied));
    const auto line = static_cast<std::int16_t>(index);
    const bool stop =
        key != 0 ? visit(line, exact_.at(key))  // a line that holds a NUL
                 : visit(line, std::u16string_view(reinterpret_cast<const char16_t*>(buffer.data()),
                                                   static_cast<std::size_t>(copied)));
    if (stop) return line;
  }
  return -1;
}

}  // namespace sirel::win32
