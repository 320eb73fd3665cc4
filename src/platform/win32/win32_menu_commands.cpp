// The menu commands of a Win32 message window: the portable commands (window/menu_commands.h)
// wired to the window's list and Hide(), the Win32 clipboard, save dialog, file writer, ANSI
// code page and message box. The clipboard and the About box are owned by the message window;
// the save dialog by the thread's parent window, never by the message window.
#include "platform/win32/win32_menu_commands.h"

#include "platform/thread_state.h"
#include "platform/win32/win32_ansi_code_page.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_message_window.h"
#include "platform/win32/win32_save_file_dialog.h"
#include "platform/win32/win32_text_file.h"
#include "window/menu_commands.h"

namespace sirel::win32 {

namespace {

class Win32MenuCommands final : public MenuCommandRunner {
 public:
  explicit Win32MenuCommands(Win32MessageWindow& window)
      : window_(window),
        clipboard_([&window] { return window.hwnd(); }),
        messageBox_([&window] { return window.hwnd(); }) {}

  void Run(MenuItem item) override {
    // The thread's state is looked up when a command runs: it holds the delete routine's window
    // and the parent window handle that owns the save dialog.
    MenuCommands commands(
        {ThreadState::Current(), window_, clipboard_, saveDialog_, files_, ansi_, messageBox_});
    commands.Run(item);
  }

 private:
  Win32MessageWindow& window_;
  Win32Clipboard clipboard_;
  Win32SaveFileDialog saveDialog_;
  Win32TextFileWriter files_;
  Win32AnsiCodePage ansi_;
  Win32MessageBox messageBox_;
};

}  // namespace

std::unique_ptr<MenuCommandRunner> MakeWin32MenuCommands(Win32MessageWindow& window) {
  return std::make_unique<Win32MenuCommands>(window);
}

}  // namespace sirel::win32
