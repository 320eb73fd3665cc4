// Placement, title, visibility and parenting of the thread's message window.
#include <cmath>
#include <limits>

#include "core/errors.h"
#include "poster/poster.h"

namespace sirel {

namespace {

// The automation conversion of a number to a 32-bit integer: rounds half to even, and a value
// outside the 32-bit range is an overflow.
WindowHandle ToWindowHandle(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw SirelError(ErrorCode::Overflow);
  }
  return static_cast<WindowHandle>(rounded);
}

}  // namespace

float Poster::Top() { return thread_.ObtainWindow().Top(); }

float Poster::Left() { return thread_.ObtainWindow().Left(); }

WindowHandle Poster::Hwnd() { return thread_.ObtainWindow().Handle(); }

std::u16string Poster::Caption() { return thread_.ObtainWindow().Caption(); }

void Poster::SetCaption(const std::u16string& caption) {
  thread_.ObtainWindow().SetCaption(caption);
}

void Poster::SetLocation(float top, float left) {
  thread_.ObtainWindow().SetTop(top);
  thread_.ObtainWindow().SetLeft(left);
}

void Poster::SetFormVisible(VBool value) {
  // The flag keeps what the client assigned, even when a handler cancels below.
  visible_ = value;
  VBool cancel = kFalse;
  if (IsExactlyTrue(value)) {
    if (EventsOn()) Raise([&](PosterEvents& sink) { sink.BeforeShow(cancel); });
    if (cancel != kFalse) return;
    thread_.ObtainWindow().Show();
  } else {
    if (EventsOn()) Raise([&](PosterEvents& sink) { sink.BeforeHide(cancel); });
    if (cancel != kFalse) return;
    thread_.ObtainWindow().Hide();
  }
}

void Poster::SetParentWindow(const WindowArgument& window) {
  WindowManager& manager = thread_.windowManager();
  WindowHandle parent = 0;
  if (window.kind == WindowArgument::Kind::Number) {
    parent = window.number <= 0 ? manager.GetForegroundWindow() : ToWindowHandle(window.number);
  } else {
    parent = manager.FindUntitledWindowOfClass(window.text);
  }
  thread_.setParentWindow(parent);
  MessageWindow& messageWindow = thread_.ObtainWindow();
  manager.SetParent(messageWindow.Handle(), parent);
}

}  // namespace sirel
