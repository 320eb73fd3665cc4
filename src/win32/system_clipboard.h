// The clipboard port on the Win32 clipboard. Text goes on as CF_UNICODETEXT; Windows derives
// CF_TEXT and CF_OEMTEXT from it for readers that ask for narrow text. Opening the clipboard is
// retried for a short while, since other programs (clipboard managers, a remote desktop's
// clipboard sync) hold it open for a moment at a time.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/clipboard.h"

namespace sirel::win32 {

class SystemClipboard final : public Clipboard {
 public:
  // owner gives the window that owns what is put on the clipboard (the message window), asked
  // at each call since the window can be loaded afresh with a new handle.
  explicit SystemClipboard(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  void Clear() override;
  void SetText(const std::u16string& text) override;

 private:
  std::function<HWND()> owner_;
};

}  // namespace sirel::win32
