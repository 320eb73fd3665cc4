// How a LISTBOX's picture waits for the frame while its lines change. Reads are never affected:
// the control holds every line at once; only its picture waits.
//
// The first write of an update (BeginUpdate/EndUpdate, one posting) turns the control's redrawing
// off (WM_SETREDRAW) and invalidates the owning window. While the owning window is on screen,
// the lines are drawn again, all at once, by the end of an update when the last drawing is a
// frame old (kFrameMs, or longer after a slow paint) or when the client's previous update ended
// a frame (kFrameMs) or more before (a client that posts slower than once a frame sees each of
// its lines at once, whatever a paint costs: it may never run its messages again), or by
// ShowHeldLines(), which the owning window calls when the thread runs its messages (its
// WM_PAINT) or shows the window, whichever is first. So a tight loop of postings draws at most
// once a frame, and no timer is needed; a list that is not on screen stays held until it is
// shown: its writes then skip the control's scrolling and scroll-bar work, which nobody sees.
#pragma once

#include <windows.h>

namespace sirel::win32 {

class DrawingHold {
 public:
  static constexpr double kFrameMs = 30.0;

  void Attach(HWND listbox) {
    listbox_ = listbox;
    held_ = false;
  }
  void Detach() { Attach(nullptr); }

  void BeginUpdate() { ++depth_; }
  // Before each write of the list: the first write of an update holds the drawing.
  void HoldForWrite();
  // The end of an update; true when the lines are due to be drawn (the owner's window is on
  // screen and the last drawing is a frame old), which the list then does.
  bool EndUpdate();
  // Draws the lines held back since the last drawing, if any. Never throws.
  void ShowHeldLines() noexcept;
  bool held() const { return held_; }

 private:
  HWND listbox_ = nullptr;
  int depth_ = 0;
  bool held_ = false;
  double last_drawn_ms_ = -1e9;
  double last_update_end_ms_ = -1e9;
  // The time between two drawings within a burst of postings: a frame, or about nine times what
  // the last drawing took, whichever is longer, so that drawing takes at most about a tenth of a
  // busy client's time however slow a paint is (a remote desktop, a slow display).
  double frame_ms_ = kFrameMs;
};

}  // namespace sirel::win32
