#include "platform/win32/win32_message_box.h"

#include "platform/win32/win32_command_support.h"

namespace sirel::win32 {

void Win32MessageBox::ShowOk(const std::u16string& prompt, const std::u16string& title) {
  // The result is not used: the box has one button.
  MessageBoxW(owner_(), ToWide(prompt).c_str(), ToWide(title).c_str(), MB_OK);
}

}  // namespace sirel::win32
