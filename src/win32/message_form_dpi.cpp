// How the message window follows the DPI of the monitor it is drawn on. A top-level window is
// told by WM_DPICHANGED, which brings the new DPI and the rectangle the system suggests for it; a
// child learns it from WM_DPICHANGED_AFTERPARENT (its top-level window moved) or when it is
// re-parented, and reads its DPI then. Wine sends neither message and its GetDpiForWindow
// answers the system DPI whatever happens, so the DPI WM_DPICHANGED brings is kept as it is.
#include "win32/message_form.h"

namespace sirel::win32 {

namespace {

bool HasParent(HWND hwnd) {
  HWND parent = GetAncestor(hwnd, GA_PARENT);
  return parent != nullptr && parent != GetDesktopWindow();
}

}  // namespace

// WM_DPICHANGED, WM_DPICHANGED_AFTERPARENT and the window manager's note of a new parent.
bool MessageForm::OnDpiMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDpiChangedMessage) {
    OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
  } else if (message == kDpiChangedAfterParentMessage || message == ParentChangedMessage()) {
    FollowWindowDpi();
  } else {
    return false;
  }
  return true;
}

// The native window is gone, or left to the system at its thread's end: the list (gone with it,
// as children go before their parent's WM_NCDESTROY, or never drawn again) needs no font, and a
// window loaded afresh stands where the system puts it.
void MessageForm::ForgetNativeWindowDpi() noexcept {
  list_font_.Release();
  kept_top_.reset();
  kept_left_.reset();
}

void MessageForm::OnDpiChanged(WPARAM wParam, const RECT* suggested) {
  // Only a top-level window is sent this; a child's rectangle is not the screen's to suggest.
  AdoptDpi(LOWORD(wParam), HasParent(hwnd_) ? nullptr : suggested);
}

void MessageForm::FollowWindowDpi() {
  if (hwnd_ == nullptr) return;
  const int dpi = dpi_query_ ? dpi_query_(hwnd_) : WindowDpi(hwnd_);
  if (dpi > 0 && dpi != scale_.dpi()) AdoptDpi(dpi, nullptr);
}

// The frame around the client area, at the window's DPI.
FrameSize MessageForm::MeasureFrame() const {
  RECT window{};
  RECT client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  return FrameSize{scale_.ToTwips((window.right - window.left) - client.right),
                   scale_.ToTwips((window.bottom - window.top) - client.bottom)};
}

void MessageForm::AdoptDpi(int dpi, const RECT* suggested) {
  if (hwnd_ == nullptr || dpi <= 0) return;
  const TwipScale before = scale_;
  const TwipScale after(dpi);
  RECT target{};
  if (suggested != nullptr) {
    target = *suggested;
  } else {
    // The outer size keeps its twips. A child keeps its place in the parent in twips too (the
    // host's own content scales with it); a top-level window keeps its corner on the screen.
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    POINT corner = Position();
    if (HasParent(hwnd_)) {
      corner.x = after.ToPixels(TwipsAt(before, kept_left_, corner.x));
      corner.y = after.ToPixels(TwipsAt(before, kept_top_, corner.y));
    }
    target = RECT{corner.x, corner.y,
                  corner.x + after.FromPixelsAt(before, outer.right - outer.left),
                  corner.y + after.FromPixelsAt(before, outer.bottom - outer.top)};
  }
  scale_ = after;
  // The font first: the list's rows, and so its height, depend on it.
  list_font_.Follow(list_.hwnd(), dpi, system_dpi_);
  // No layout with the old margins while the frame moves; the frame is measured again after
  // (SWP_FRAMECHANGED: its borders are computed for the new DPI even at an unchanged size).
  adopting_dpi_ = true;
  SetWindowPos(hwnd_, nullptr, target.left, target.top, target.right - target.left,
               target.bottom - target.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  adopting_dpi_ = false;
  if (margins_captured_) margins_ = RetakeMargins(loaded_margins_, frame_at_load_, MeasureFrame());
  LayoutStep();
}

}  // namespace sirel::win32
