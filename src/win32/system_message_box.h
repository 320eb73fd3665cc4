// The message-box port on MessageBoxW with style MB_OK (value 0: one OK button, no icon, the
// first button the default), and MB_OK | MB_ICONEXCLAMATION for a warning, modal to the owner
// window given at construction.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/message_box.h"

namespace sirel::win32 {

class SystemMessageBox final : public MessageBoxPort {
 public:
  // owner gives the window the box is modal to, asked at each call.
  explicit SystemMessageBox(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  void ShowOk(const std::u16string& prompt, const std::u16string& title) override;
  void ShowWarning(const std::u16string& prompt, const std::u16string& title) override;

 private:
  std::function<HWND()> owner_;
};

}  // namespace sirel::win32
