#include "win32/drawing_hold.h"

namespace sirel::win32 {

namespace {

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

// Invalidating the owning window makes the thread's next WM_PAINT of it, when the thread runs
// its messages (or when the window comes on screen), show the lines.
void DrawingHold::HoldForWrite() {
  if (held_ || depth_ == 0 || listbox_ == nullptr) return;
  SendMessageW(listbox_, WM_SETREDRAW, FALSE, 0);
  // Wine's LISTBOX keeps scrolling its picture (ScrollWindowEx) with drawing off, as long as it
  // is visible; with the visible flag cleared, as Windows' own WM_SETREDRAW does, it does not.
  // Scrolling a shown window that is the child of another process's window never returns under
  // Wine, so this also keeps postings from hanging there.
  const LONG_PTR style = GetWindowLongPtrW(listbox_, GWL_STYLE);
  if ((style & WS_VISIBLE) != 0) SetWindowLongPtrW(listbox_, GWL_STYLE, style & ~WS_VISIBLE);
  held_ = true;
  InvalidateRect(GetParent(listbox_), nullptr, FALSE);
}

void DrawingHold::EndUpdate() {
  if (depth_ > 0) --depth_;
  if (depth_ == 0 && held_ && NowMs() - last_drawn_ms_ >= kFrameMs && listbox_ != nullptr &&
      IsWindowVisible(GetParent(listbox_))) {
    ShowHeldLines();
  }
}

void DrawingHold::ShowHeldLines() noexcept {
  if (!held_) return;
  held_ = false;
  if (listbox_ == nullptr) return;
  const LONG_PTR style = GetWindowLongPtrW(listbox_, GWL_STYLE);
  if ((style & WS_VISIBLE) == 0) SetWindowLongPtrW(listbox_, GWL_STYLE, style | WS_VISIBLE);
  SendMessageW(listbox_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(listbox_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  last_drawn_ms_ = NowMs();
}

}  // namespace sirel::win32
