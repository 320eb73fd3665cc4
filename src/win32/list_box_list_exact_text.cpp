// Lines that hold a NUL. A LISTBOX string ends at its first NUL, so such a line is given to the
// control with each NUL shown as U+2400 (SYMBOL FOR NULL), and its exact text is kept in the
// list's own table under a key that the line carries as its item data. The key is a number,
// never a pointer: an item data that another program sets is a key the table does not hold and
// is ignored, so no sender can make the list read or free memory that is not its own. The
// control's owner forwards each WM_DELETEITEM (sent for every removed line with item data, by
// whoever removed it), and the line's text goes with it. Lines without a NUL cost nothing more:
// a reader asks for the item data only while the table holds texts and the line shows the mark.
#include <algorithm>

#include "core/errors.h"
#include "win32/list_box_list.h"
#include "win32/text_conversion.h"

namespace sirel::win32 {

namespace {

constexpr wchar_t kNulMark = L'\u2400';

}  // namespace

std::wstring ListBoxList::Displayed(const std::u16string& text, bool* holdsNul) {
  std::wstring shown(text.begin(), text.end());
  *holdsNul = shown.find(L'\0') != std::wstring::npos;
  if (*holdsNul) std::replace(shown.begin(), shown.end(), L'\0', kNulMark);
  return shown;
}

// The line at index (just added or inserted) holds a NUL: its exact text goes into the table
// and its key into the line. On failure the line is removed again and the error thrown.
void ListBoxList::KeepExactText(int index, const std::u16string& text) {
  const ULONG_PTR key = ++next_key_;
  try {
    exact_.emplace(key, text);
  } catch (...) {
    Send(LB_DELETESTRING, static_cast<WPARAM>(index));
    known_.count = -1;
    throw SirelError(ErrorCode::OutOfMemory);
  }
  if (Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(key)) == LB_ERR) {
    exact_.erase(key);
    Send(LB_DELETESTRING, static_cast<WPARAM>(index));
    known_.count = -1;
    throw SirelError(ErrorCode::WindowOperation);
  }
}

// The key of the line at index when it holds a kept exact text, else 0.
ULONG_PTR ListBoxList::ExactKeyAt(int index, const wchar_t* shown, std::size_t length) const {
  if (exact_.empty() || std::find(shown, shown + length, kNulMark) == shown + length) return 0;
  const auto key = static_cast<ULONG_PTR>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
  return exact_.count(key) != 0 ? key : 0;
}

// The exact text of the line at index, which the control shows as `shown`.
std::u16string ListBoxList::ExactText(int index, const wchar_t* shown, std::size_t length) const {
  const ULONG_PTR key = ExactKeyAt(index, shown, length);
  if (key != 0) return exact_.at(key);
  return FromWide(shown, length);
}

void ListBoxList::ForgetExactText(ULONG_PTR key) noexcept {
  if (listbox_ == nullptr || key == 0) return;
  exact_.erase(key);
}

}  // namespace sirel::win32
