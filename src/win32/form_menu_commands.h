// The commands of the message window's pop-up menu on Win32: the window asks for them the first
// time a menu item or command key is used, and owns them from then on. The window outlives its
// commands and gives them its list, its handle and Hide().
#pragma once

#include <memory>

#include "window/menu.h"

namespace sirel::win32 {

class MessageForm;

std::unique_ptr<MenuCommandRunner> MakeFormMenuCommands(MessageForm& window);

}  // namespace sirel::win32
