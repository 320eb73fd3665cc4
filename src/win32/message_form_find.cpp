// The find bar of the message window: opening and closing it, its place below the list, and
// the find itself (window/line_find.h) over the list, whose found line the list holds as the
// person's selection.
#include <algorithm>

#include "win32/message_form.h"
#include "window/line_find.h"

namespace sirel::win32 {

void MessageForm::OpenFind() {
  if (hwnd_ == nullptr || find_bar_.hwnd() == nullptr) return;
  if (!find_bar_.IsOpen()) {
    find_bar_.Open();
    LayoutStep();
  } else {
    find_bar_.Open();  // again: the focus and the text's selection
  }
}

void MessageForm::OnFindClose() {
  find_bar_.Close();
  LayoutStep();
  if (list_.hwnd() != nullptr) SetFocus(list_.hwnd());
}

void MessageForm::OnFindTextChanged() { Find(FindStep::kNext, false); }

void MessageForm::OnFindStep(FindStep step) { Find(step, true); }

// fromFound: the next or previous match, beside the found line; else (typing) the found line
// itself first, so that a longer text keeps it while it matches. The found line is the list's
// current line while the list holds it; otherwise the search starts at the first line in view.
void MessageForm::Find(FindStep step, bool fromFound) {
  if (list_.hwnd() == nullptr) return;
  const std::u16string text = find_bar_.Text();
  if (text.empty()) {
    find_bar_.ShowNoMatch(false);
    return;
  }
  const bool held = !list_.FollowsPostings();
  const int current = held ? list_.ListIndex() : -1;
  int from = current >= 0 ? current
                          : static_cast<int>(SendMessageW(list_.hwnd(), LB_GETTOPINDEX, 0, 0));
  const bool forward = step == FindStep::kNext;
  if (fromFound && current >= 0) from += forward ? 1 : -1;
  const std::int16_t found =
      FindLine(list_, folding_, text, static_cast<std::int16_t>(from),
               forward ? FindDirection::kForward : FindDirection::kBackward);
  find_bar_.ShowNoMatch(found == kNoLine);
  if (found != kNoLine) list_.HoldSelectionAt(found);
}

int MessageForm::PlaceFindBar(int listWidth, int listHeight) {
  if (!find_bar_.IsOpen()) return 0;
  // The bar takes the list's font, so that it follows the window's DPI with it.
  const auto font = reinterpret_cast<HFONT>(SendMessageW(list_.hwnd(), WM_GETFONT, 0, 0));
  if (reinterpret_cast<HFONT>(SendMessageW(find_bar_.hwnd(), WM_GETFONT, 0, 0)) != font) {
    find_bar_.SetFont(font);
  }
  const int height = std::min(find_bar_.HeightFor(font), std::max(0, listHeight));
  SetWindowPos(find_bar_.hwnd(), nullptr, 0, listHeight - height, listWidth, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return height;
}

}  // namespace sirel::win32
