// Nothing of the library may run after COM frees it. Windows frees every in-process server
// that a thread's COM loaded at that thread's last CoUninitialize (CoFreeAllLibraries), whatever
// DllCanUnloadNow answers; Wine keeps it loaded. A message window left on such a thread (a worker
// that tidies up and goes on pumping; a host that uninitialises in its main window's WM_DESTROY,
// where the message window is a child that is destroyed afterwards) would then run its procedure
// in unmapped memory.
//
// So every thread that has a window of the library has an IInitializeSpy registered, from the
// window's creation to its destruction. At the thread's last CoUninitialize the spy destroys the
// thread's native window (the window object stays: a menu or a dialog of it may be running
// further up the stack) and is revoked with it (a spy left registered after the library is gone
// would crash the thread's next CoInitialize). If a window or an object of the library still
// lives on another thread at that moment, the module is pinned (loaded until the process ends)
// rather than freed under it. With nothing alive the library still unloads as before.
//
// The spy may also never see a last uninitialisation: another component's spy that drops its
// own initialisation during the host's last CoUninitialize ends the apartment while this spy
// saw a higher count. Each live window holds a reference on the module (win32/live_windows.h),
// so a free at that moment cannot unmap it, whatever order COM calls spies and frees libraries
// in; when the spy then hears PostUninitialize with no initialisation left, the module is kept
// for good and the window lives on.
#pragma once

namespace sirel::automation {

// At process attach: the per-thread record and the window observer. False when no TLS index is
// left.
bool BeginApartmentWatch() noexcept;
// At thread detach: the calling thread's spy, if any, is revoked.
void EndThreadApartmentWatch() noexcept;
// At an unload (no window is left, so no spy either).
void EndApartmentWatch() noexcept;

}  // namespace sirel::automation
