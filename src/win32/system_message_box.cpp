#include "win32/system_message_box.h"

#include "win32/text_conversion.h"

namespace sirel::win32 {

void SystemMessageBox::ShowOk(const std::u16string& prompt, const std::u16string& title) {
  // The result is not used: the box has one button.
  MessageBoxW(owner_(), ToWide(prompt).c_str(), ToWide(title).c_str(), MB_OK);
}

void SystemMessageBox::ShowWarning(const std::u16string& prompt, const std::u16string& title) {
  MessageBoxW(owner_(), ToWide(prompt).c_str(), ToWide(title).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace sirel::win32
