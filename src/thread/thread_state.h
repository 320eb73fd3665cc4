// Per-thread state shared by every poster of a thread: the thread's message window slot and
// the thread's parent window handle. Created on first use, never emptied by the library, and
// separate for each thread, so posters on different threads never share a window or a list.
//
// Where each thread's state is kept: by default the installed platform keeps it and releases
// it when the thread ends (not a thread_local owner: with MinGW's emulated TLS a std::thread's
// storage is freed before its thread_local destructors run). A library that can be unloaded
// must not run code of its own from a thread-exit destructor (under MinGW that runs inside the
// library's TLS callback, with the loader lock held, and pins the library for the thread's
// life), so it installs a ThreadStateSlot without destructor (a TLS index) and ends the states
// itself: the calling thread's at thread detach, every thread's when it is unloaded.
#pragma once

#include <memory>

#include "platform/message_window.h"
#include "platform/platform_services.h"
#include "core/vb_types.h"

namespace sirel {

class ThreadState;

// One pointer per thread, with no destructor; the states it points to are the installer's to end.
class ThreadStateSlot {
 public:
  virtual ~ThreadStateSlot() = default;
  virtual ThreadState* Get() noexcept = 0;
  // Takes a state made for the calling thread; throws when it cannot keep it.
  virtual void Adopt(ThreadState* state) = 0;
};

// Installed once per process before the first Current(), never removed while it is in use.
void InstallThreadStateSlot(ThreadStateSlot* slot) noexcept;

class ThreadState {
 public:
  explicit ThreadState(PlatformServices& platform);

  // The calling thread's state, made with the installed platform on first use.
  static ThreadState& Current();

  // The thread's message window, created (hidden) when the slot is empty and loaded afresh
  // when the user has closed it.
  MessageWindow& ObtainWindow();
  // True once the slot holds a window object (loaded or not).
  bool HasWindow() const { return window_ != nullptr; }

  WindowManager& windowManager() { return window_manager_; }

  // For the end of the thread that owns this state: its window object lets go of the native
  // window without destroying it or sending it anything (the system destroys a thread's windows
  // itself), so that destroying the state afterwards calls nothing in the window system.
  void AbandonWindowToSystem() noexcept;

  WindowHandle parentWindow() const { return parent_window_; }
  void setParentWindow(WindowHandle handle) { parent_window_ = handle; }

 private:
  PlatformServices& platform_;
  WindowManager& window_manager_;
  std::unique_ptr<MessageWindow> window_;
  WindowHandle parent_window_ = 0;
};

}  // namespace sirel
