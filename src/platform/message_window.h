// The message window port: the one window per thread that shows the message list.
// Positions are single-precision twips. The window object outlives the native window it
// manages: when the user closes the window through its frame the native window and its lines
// are gone, and EnsureLoaded() loads it afresh (design title and size, hidden, empty list, no
// parent). References to a MessageWindow therefore never dangle within a thread.
#pragma once

#include <string>

#include "platform/message_list.h"
#include "core/vb_types.h"

namespace sirel {

// The caption a message window has when it is loaded.
inline constexpr const char16_t* kMessageWindowDesignCaption = u"Sirel Messages";

class MessageWindow {
 public:
  virtual ~MessageWindow() = default;

  // Loads the window if it is not loaded (hidden, never shown by loading). Throws
  // WindowCreate when the window cannot be made.
  virtual void EnsureLoaded() = 0;

  virtual MessageList& List() = 0;
  virtual WindowHandle Handle() const = 0;

  virtual std::u16string Caption() const = 0;
  virtual void SetCaption(const std::u16string& caption) = 0;

  virtual float Top() const = 0;
  virtual float Left() const = 0;
  virtual void SetTop(float twips) = 0;
  virtual void SetLeft(float twips) = 0;

  // Shows the window modeless, without an owner window; showing a visible window keeps it so.
  virtual void Show() = 0;
  // Hides the window; it stays loaded with its list intact.
  virtual void Hide() = 0;
  virtual bool IsVisible() const = 0;
  // True while the native window exists (between EnsureLoaded() and its close).
  virtual bool IsLoaded() const = 0;
  // Closes the native window as the user's close through its frame does: the native window and
  // its lines are gone, this object stays, and EnsureLoaded() loads it afresh. Code of the window
  // that is still running (a menu, a dialog, a handler's posting) keeps a live object.
  virtual void Close() noexcept = 0;

  // Lets go of the native window without destroying it or sending it anything, for the end of
  // its thread, when the system destroys the thread's windows itself. The object is then as if
  // the window had been closed.
  virtual void AbandonToSystem() noexcept {}
};

}  // namespace sirel
