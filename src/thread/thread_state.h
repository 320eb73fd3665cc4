// Per-thread state shared by every poster of a thread: the thread's message window slot and
// the thread's parent window handle. Created on first use, never emptied by the library (the
// window object lives as long as the state; only its native window comes and goes), and
// separate for each thread, so posters on different threads never share a window or a list.
//
// Where each thread's state is kept and how it ends is the installed platform's one decision
// (its ThreadSlot, platform/thread_slot.h); nothing here keeps or ends a state by itself.
#pragma once

#include <cstdint>
#include <memory>

#include "core/vb_types.h"
#include "platform/message_window.h"
#include "platform/platform_services.h"

namespace sirel {

class ThreadState final : public ThreadOwned {
 public:
  explicit ThreadState(PlatformServices& platform);

  // The calling thread's state, made with the installed platform on first use and handed to
  // the platform's thread slot.
  static ThreadState& Current();
  // The calling thread's state when it has been made; nullptr otherwise. Makes nothing.
  static ThreadState* CurrentIfMade() noexcept;

  // A number that no other state of the process ever had or will have (a thread's id is
  // reused after the thread ends, and so may a state's address be): tells a state's own thread
  // from any other, before or after the state ends.
  std::uint64_t serial() const { return serial_; }

  // The thread's message window, created (hidden) when the slot is empty and loaded afresh
  // when the user has closed it.
  MessageWindow& ObtainWindow();
  // True once the slot holds a window object (loaded or not).
  bool HasWindow() const { return window_ != nullptr; }
  // The native window's handle while one is loaded, else 0. Loads nothing.
  WindowHandle LoadedWindowHandle() const {
    return window_ != nullptr && window_->IsLoaded() ? window_->Handle() : 0;
  }
  // Destroys the thread's native window now, on the thread itself, as the user's close does; the
  // window object stays (code of it may be running further up the stack: a menu, a dialog, a
  // posting), and the next operation that needs a window loads it afresh. For the end of the
  // thread's apartment, after which the platform may free the library.
  void CloseWindow() noexcept {
    if (window_) window_->Close();
  }

  WindowManager& windowManager() { return window_manager_; }

  // For the end of the thread that owns this state: its window object lets go of the native
  // window without destroying it or sending it anything (the system destroys a thread's windows
  // itself), so that destroying the state afterwards calls nothing in the window system.
  void AbandonToSystem() noexcept override;

  WindowHandle parentWindow() const { return parent_window_; }
  void setParentWindow(WindowHandle handle) { parent_window_ = handle; }

 private:
  const std::uint64_t serial_;
  PlatformServices& platform_;
  WindowManager& window_manager_;
  std::unique_ptr<MessageWindow> window_;
  WindowHandle parent_window_ = 0;
};

}  // namespace sirel
