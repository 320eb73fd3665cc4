#include "thread/modAPIs.h"

namespace sirel::modAPIs {

void DeleteSelectedMessages(ThreadState& thread) {
  // Same result as walking from the last line down to 0 and removing each selected line, but
  // done by the list in one linear pass.
  thread.ObtainWindow().List().RemoveSelected();
}

}  // namespace sirel::modAPIs
