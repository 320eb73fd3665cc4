// Where the message window stands: its position read and set in twips, relative to its
// parent's client area when it has a parent, else to the screen.
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

float MessageForm::Top() const { return scale_.ToTwips(Position().y); }

float MessageForm::Left() const { return scale_.ToTwips(Position().x); }

void MessageForm::SetTop(float twips) {
  POINT position = Position();
  position.y = scale_.ToPixels(twips);
  MoveTo(position);
}

void MessageForm::SetLeft(float twips) {
  POINT position = Position();
  position.x = scale_.ToPixels(twips);
  MoveTo(position);
}

}  // namespace sirel::win32
