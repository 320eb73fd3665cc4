// Placeholder commands until the real ones are built: every item does nothing. The build uses
// this file only while win32_menu_commands.cpp does not exist.
#include "platform/win32/win32_menu_commands.h"

namespace sirel::win32 {

namespace {

class NoMenuCommands final : public MenuCommandRunner {
 public:
  void Run(MenuItem) override {}
};

}  // namespace

std::unique_ptr<MenuCommandRunner> MakeWin32MenuCommands(Win32MessageWindow&) {
  return std::make_unique<NoMenuCommands>();
}

}  // namespace sirel::win32
