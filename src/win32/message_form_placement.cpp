// Where the message window stands: its position read and set in twips, relative to its
// parent's client area when it has a parent, else to the screen, converted at the window's DPI.
#include "core/errors.h"
#include "win32/message_form.h"

namespace sirel::win32 {

// The window's top-left corner as the window system places it: in the parent's client area
// when the window has a parent, else on the screen.
POINT MessageForm::Position() const {
  HWND hwnd = Require();
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  POINT corner{rect.left, rect.top};
  HWND parent = GetAncestor(hwnd, GA_PARENT);
  if (parent != nullptr && parent != GetDesktopWindow()) {
    MapWindowPoints(HWND_DESKTOP, parent, &corner, 1);
  }
  return corner;
}

void MessageForm::MoveTo(POINT position) {
  if (!SetWindowPos(Require(), nullptr, position.x, position.y, 0, 0,
                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    throw SirelError(ErrorCode::WindowOperation);
  }
}

// The twips the client set while the window stands where they put it at `scale`'s DPI; else the
// pixels the window stands at, converted.
float MessageForm::TwipsAt(const TwipScale& scale, const std::optional<float>& kept,
                           int pixels) const {
  if (kept && scale.ToPixels(*kept) == pixels) return *kept;
  return scale.ToTwips(pixels);
}

float MessageForm::Top() const { return TwipsAt(scale_, kept_top_, Position().y); }

float MessageForm::Left() const { return TwipsAt(scale_, kept_left_, Position().x); }

void MessageForm::SetTop(float twips) {
  POINT position = Position();
  position.y = scale_.ToPixels(twips);
  MoveTo(position);
  kept_top_ = twips;
}

void MessageForm::SetLeft(float twips) {
  POINT position = Position();
  position.x = scale_.ToPixels(twips);
  MoveTo(position);
  kept_left_ = twips;
}

}  // namespace sirel::win32
