// Count, LastMessage, ClearList, DeleteSelectedMessages and ResetCounter.
#include "thread/modAPIs.h"
#include "poster/poster.h"

namespace sirel {

std::int32_t Poster::Count() { return thread_.ObtainWindow().List().ListCount(); }

std::u16string Poster::LastMessage() {
  const MessageList& list = thread_.ObtainWindow().List();
  return list.LineText(static_cast<std::int16_t>(list.ListCount() - 1));
}

void Poster::ClearList() {
  VBool cancel = kFalse;
  if (EventsOn()) Raise([&](PosterEvents& sink) { sink.BeforeClear(cancel); });
  // Any non-zero Cancel prevents the clearing here.
  if (cancel == kFalse) thread_.ObtainWindow().List().Clear();
  // Raised whether or not the clearing was cancelled.
  if (EventsOn()) Raise([](PosterEvents& sink) { sink.AfterClear(); });
}

void Poster::DeleteSelectedMessages() { modAPIs::DeleteSelectedMessages(thread_); }

void Poster::ResetCounter() {
  if (EventsOn()) {
    VBool cancel = kFalse;
    const std::int32_t value = counter_;
    Raise([&](PosterEvents& sink) { sink.BeforeCounterReset(value, cancel); });
    if (IsExactlyTrue(cancel)) return;
  }
  counter_ = 0;
}

}  // namespace sirel
