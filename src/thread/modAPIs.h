// Routines shared by the poster and the message window. The window-manager declarations
// themselves are the WindowManager port (platform/window_manager.h).
#pragma once

#include "thread/thread_state.h"

namespace sirel::modAPIs {

// Removes every selected line of the thread's message list (creating the window when there is
// none). The one routine behind both the poster's DeleteSelectedMessages and the window's
// "&Delete Selected Messages" command. Raises no event and touches no counter.
void DeleteSelectedMessages(ThreadState& thread);

}  // namespace sirel::modAPIs
