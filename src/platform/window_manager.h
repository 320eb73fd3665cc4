// The window-manager port: the few operations of the platform's user-interface library that
// posting and parenting need. Results of SetActiveWindow and SetParent are ignored by callers.
#pragma once

#include <string>

#include "core/vb_types.h"

namespace sirel {

class WindowManager {
 public:
  virtual ~WindowManager() = default;

  virtual WindowHandle GetActiveWindow() = 0;
  // Does nothing for a handle of 0.
  virtual void SetActiveWindow(WindowHandle window) = 0;
  // The foreground window of the desktop when it belongs to the calling process; 0 when it is
  // another process's (attaching to it would tie every later call to that process answering).
  virtual WindowHandle GetForegroundWindow() = 0;
  // A top-level window whose class name is className (converted to the ANSI code page) and
  // whose title is the empty string; 0 when there is none.
  virtual WindowHandle FindUntitledWindowOfClass(const std::u16string& className) = 0;
  // Makes parent (0: the desktop) the parent window of child.
  virtual void SetParent(WindowHandle child, WindowHandle parent) = 0;
};

}  // namespace sirel
