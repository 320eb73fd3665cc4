// Creation and the two priority bounds.
#include "poster/poster.h"

namespace sirel {

Poster::Poster(ThreadState& thread) : thread_(thread) {}

void Poster::Initialize() {
  min_priority_ = 0;
  max_priority_ = kDefaultMaxPriority;
  enable_events_ = kTrue;
  // Attach the thread's window (created hidden when needed) to the window in the foreground.
  SetParentWindow(WindowArgument::Number(-1));
  SetReturnFocus(kTrue);
}

void Poster::SetMinPriority(std::int32_t value) { ChangeBound(true, value); }

void Poster::SetMaxPriority(std::int32_t value) { ChangeBound(false, value); }

void Poster::ChangeBound(bool lower, std::int32_t value) {
  if (value < 0) return;
  const VBool which = ToVBool(lower);
  std::int32_t& bound = lower ? min_priority_ : max_priority_;
  if (EventsOn()) {
    VBool cancel = kFalse;
    const std::int32_t current = bound;
    Raise([&](PosterEvents& sink) { sink.BeforePriorityChange(which, current, value, cancel); });
    if (IsExactlyTrue(cancel)) return;
  }
  const std::int32_t old = bound;
  bound = value;
  if (EventsOn()) {
    Raise([&](PosterEvents& sink) { sink.AfterPriorityChange(which, old, value); });
  }
}

}  // namespace sirel
