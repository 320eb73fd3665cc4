// The seven commands of the message window's pop-up menu, against the ports of platform/.
// They act on the window that owns the menu and its list, on the clipboard and on one file;
// they never go through a poster, raise no events and change no poster's state.
//
// Errors: a command handles none itself. The first failing step throws its SirelError, which
// ends the command; what was done before it stays done (a clipboard cleared before a failing
// set stays empty). The window reports the error to the user.
#pragma once

#include "platform/ansi_code_page.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/message_window.h"
#include "platform/save_file_dialog.h"
#include "platform/text_file.h"
#include "thread/thread_state.h"
#include "window/menu.h"

namespace sirel {

// What the commands work with. Every reference outlives the MenuCommands that holds it.
struct MenuCommandPorts {
  ThreadState& thread;        // the delete routine and the parent window handle
  MessageWindow& window;      // the window that owns the menu, and its list
  Clipboard& clipboard;
  SaveFileDialog& saveDialog;
  TextFileWriter& files;
  AnsiCodePage& ansi;
  MessageBoxPort& messageBox;
};

class MenuCommands final : public MenuCommandRunner {
 public:
  explicit MenuCommands(const MenuCommandPorts& ports) : ports_(ports) {}

  void Run(MenuItem item) override;

  // "&Copy Selected Sirels": the selected lines to the clipboard; nothing is touched when no
  // line is selected or the list is empty.
  void CopySelected();
  // "Copy &All": every line to the clipboard; nothing is touched when the list is empty.
  void CopyAll();
  // "&Clear": every line removed at once; no event, no question, counters untouched.
  void Clear();
  // "&Delete Selected Messages": the shared delete routine, nothing else.
  void DeleteSelected();
  // "&Export To File": asks for a name, then writes every line to that file. A cancelled
  // dialog, or an empty list (noticed after the dialog), writes nothing.
  void Export();
  // "&Hide": hides the window; it keeps its lines, and no poster's visible flag changes.
  void Hide();
  // "A&bout": the About box, one OK button.
  void About();

 private:
  MenuCommandPorts ports_;
};

}  // namespace sirel
