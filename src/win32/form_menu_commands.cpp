// The menu commands of a Win32 message window: the portable commands (window/menu_commands.h)
// wired to the window's list and Hide(), the Win32 clipboard, save dialog, file writer, ANSI
// code page and message box. The clipboard and the About box are owned by the message window;
// the save dialog by the thread's parent window, never by the message window.
#include "win32/form_menu_commands.h"

#include "thread/thread_state.h"
#include "win32/system_ansi_code_page.h"
#include "win32/system_clipboard.h"
#include "win32/system_message_box.h"
#include "win32/message_form.h"
#include "win32/common_save_dialog.h"
#include "win32/disk_text_file_writer.h"
#include "window/menu_commands.h"

namespace sirel::win32 {

namespace {

class FormMenuCommands final : public MenuCommandRunner {
 public:
  explicit FormMenuCommands(MessageForm& window)
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
  MessageForm& window_;
  SystemClipboard clipboard_;
  CommonSaveDialog saveDialog_;
  DiskTextFileWriter files_;
  SystemAnsiCodePage ansi_;
  SystemMessageBox messageBox_;
};

}  // namespace

std::unique_ptr<MenuCommandRunner> MakeFormMenuCommands(MessageForm& window) {
  return std::make_unique<FormMenuCommands>(window);
}

}  // namespace sirel::win32
