// The threads' states (thread/thread_state.h) as the DLL keeps them: a pointer in a TLS slot of
// its own, with no thread-exit destructor, and a list of every state made, so that the DLL ends
// them itself:
//   - at thread detach the calling thread's state ends: its window object lets go of the native
//     window (disarmed, nothing sent to it) and the system destroys the thread's windows after
//     the detach, as it does for every thread's windows;
//   - at an unload (FreeLibrary; never at process exit) every state left ends the same way.
//     The library is unloaded only when none of its windows exists, so no window is left to
//     reach the freed objects.
// Nothing here throws, takes a lock that can fail, or calls the window system beyond disarming.
#pragma once

namespace sirel::win32 {

// At process attach: allocates the TLS index and installs the slot; false when none is left.
bool BeginThreadStates() noexcept;
// At thread detach.
void EndThreadState() noexcept;
// At an unload.
void EndAllThreadStates() noexcept;

}  // namespace sirel::win32
