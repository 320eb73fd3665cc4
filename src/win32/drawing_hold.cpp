#include "win32/drawing_hold.h"

#include <algorithm>

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
  // Only the redrawing stops: the control stays visible, so that the person's mouse and keys
  // keep reaching it while lines arrive. (What scrolls its picture, the move to the newest
  // line, waits for the frame and clears the visible flag for that moment alone.)
  SendMessageW(listbox_, WM_SETREDRAW, FALSE, 0);
  held_ = true;
  InvalidateRect(GetParent(listbox_), nullptr, FALSE);
}

bool DrawingHold::EndUpdate() {
  if (depth_ > 0) --depth_;
  if (depth_ > 0) return false;
  const double now = NowMs();
  // The client's own time since its previous update, the drawing not counted.
  const bool afterAPause = now - std::max(last_update_end_ms_, last_drawn_ms_) >= kFrameMs;
  last_update_end_ms_ = now;
  return held_ && (afterAPause || now - last_drawn_ms_ >= frame_ms_) && listbox_ != nullptr &&
         IsWindowVisible(GetParent(listbox_));
}

void DrawingHold::ShowHeldLines() noexcept {
  if (!held_) return;
  held_ = false;
  if (listbox_ == nullptr) return;
  const double started = NowMs();
  SendMessageW(listbox_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(listbox_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  last_drawn_ms_ = NowMs();
  frame_ms_ = std::max(kFrameMs, 9.0 * (last_drawn_ms_ - started));
}

}  // namespace sirel::win32
