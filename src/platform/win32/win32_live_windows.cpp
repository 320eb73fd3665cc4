#include "platform/win32/win32_live_windows.h"

namespace sirel::win32 {

namespace {
volatile LONG g_live_windows = 0;
}  // namespace

LONG LiveWindowCount() { return InterlockedCompareExchange(&g_live_windows, 0, 0); }

void NoteWindowCreated() { InterlockedIncrement(&g_live_windows); }

void NoteWindowDestroyed() { InterlockedDecrement(&g_live_windows); }

}  // namespace sirel::win32
