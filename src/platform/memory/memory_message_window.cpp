#include "platform/memory/memory_message_window.h"

namespace sirel {

void MemoryMessageWindow::EnsureLoaded() {
  if (loaded_) return;
  list_.Clear();
  caption_ = kMessageWindowDesignCaption;
  top_ = 0;
  left_ = 0;
  visible_ = false;
  loaded_ = true;
  ++load_count_;
}

}  // namespace sirel
