// The window-manager port on the platform's user-interface library. Handles cross as 32-bit
// values and are sign-extended back into HWNDs. Stateless: one object serves every thread.
// SetActiveWindow activates the window only when it is not the active window already;
// GetForegroundWindow answers 0 for a window of another thread (another process's or a sibling
// thread's).
#pragma once

#include "platform/window_manager.h"

namespace sirel::win32 {

class User32WindowManager final : public WindowManager {
 public:
  WindowHandle GetActiveWindow() override;
  void SetActiveWindow(WindowHandle window) override;
  WindowHandle GetForegroundWindow() override;
  WindowHandle FindUntitledWindowOfClass(const std::u16string& className) override;
  void SetParent(WindowHandle child, WindowHandle parent) override;
};

}  // namespace sirel::win32
