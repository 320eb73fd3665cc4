// DoSirel: filter, count, let the client cancel, format, append, select, trim, return focus.
#include <limits>

#include "core/errors.h"
#include "poster/line_format.h"
#include "poster/poster.h"

namespace sirel {

// An either-or test, not a range: a message is dropped only while the lower bound is above the
// upper bound and its priority lies strictly between them.
bool Poster::PassesFilter(std::int32_t priority) const {
  return priority == kOmittedPriority || priority >= min_priority_ || priority <= max_priority_;
}

void Poster::DoSirel(const std::u16string& text, std::int32_t priority) {
  if (!PassesFilter(priority)) return;

  if (counter_ == std::numeric_limits<std::int32_t>::max()) throw SirelError(ErrorCode::Overflow);
  ++counter_;

  // Whether a client's handler ran during this posting: only a handler (or what it calls) can
  // move the activation away from the saved window while the posting runs. So the active window
  // is saved just before the first handler runs, and only then: without a handler nothing would
  // give it back, and reading it is a round trip to the window server (about 17 us under Wine,
  // the dearest step of a posting).
  bool handlerRan = false;
  const auto beforeHandlers = [&] {
    if (handlerRan || events_.SinkCount() == 0) return;
    saved_active_window_ = thread_.windowManager().GetActiveWindow();
    handlerRan = true;
  };
  if (EventsOn()) {
    beforeHandlers();
    VBool cancel = kFalse;
    Raise([&](PosterEvents& sink) { sink.BeforeSirel(text, priority, cancel); });
    // A cancelled message keeps its number: the counter is not taken back.
    if (IsExactlyTrue(cancel)) return;
  }

  // Switches, counter and list are read now, after the handler: it may have changed them.
  const bool showCounter = IsExactlyTrue(show_counter_);
  const bool showPriority = IsExactlyTrue(show_priority_);
  // Without a prefix the line is the text itself: no copy is built for it.
  std::u16string prefixed;
  if (showCounter || showPriority) {
    prefixed = FormatLine(showCounter, counter_, showPriority, priority, text);
  }
  const std::u16string& line = showCounter || showPriority ? prefixed : text;
  MessageList& target = thread_.ObtainWindow().List();
  // The window object, and so its list object, lives as long as the thread's state: a handler
  // that closes the window, or ends the apartment (which closes it too), leaves this object in
  // place, loaded afresh by the next ObtainWindow; so the guard below never outlives its list.
  const ListUpdate update(target);
  // A full list cannot take the line first and lose its oldest line after. When the limit
  // would remove the oldest line anyway, it goes before the append, so that a limit of up to
  // the list's capacity keeps working on a full list; that removal is this posting's one.
  // If the append then fails, the oldest line is put back: a failed posting keeps the lines.
  bool trimmed = false;
  MessageList::TakenLine oldest;
  if (max_list_count_ > 0 && max_list_count_ <= MessageList::kMaxLines &&
      target.ListCount() == MessageList::kMaxLines) {
    oldest = target.TakeItem(0);
    trimmed = true;
  }
  try {
    target.AddItem(line);
  } catch (...) {
    if (trimmed) {
      try {
        target.InsertItem(0, oldest.text, oldest.selected);
      } catch (...) {
        // The append's failure is the one reported.
      }
    }
    throw;
  }

  const bool raiseAfter = EventsOn();
  if (raiseAfter) {
    beforeHandlers();
    Raise([&](PosterEvents& sink) { sink.AfterSirel(text, priority); });
  }

  // Only a handler can have closed the window since the append; then it is loaded afresh.
  MessageList& list = raiseAfter ? thread_.ObtainWindow().List() : target;
  const std::int16_t count = list.ListCount();
  if (count > 0) list.SelectOnly(static_cast<std::int16_t>(count - 1));

  // One line at most per posting, even when the list is over its limit by more.
  // Selecting a line changes no count: `count` is still the list's.
  if (!trimmed && max_list_count_ > 0 && count > max_list_count_) list.RemoveItem(0);

  // The saved window is activated again only when it may no longer be the active one: without a
  // handler nothing in a posting activates a window, and activating the window that is active
  // already costs a trip through the window manager (tens of microseconds under Wine) for
  // nothing. (The window manager makes the same check once more when a handler ran.)
  if (IsExactlyTrue(return_focus_) && handlerRan) {
    thread_.windowManager().SetActiveWindow(saved_active_window_);
  }
}

}  // namespace sirel
