#include "window/menu_commands.h"

#include "thread/modAPIs.h"
#include "window/about_text.h"
#include "window/copy_text.h"
#include "window/export_encoding.h"
#include "window/export_file_name.h"

namespace sirel {

void MenuCommands::Run(MenuItem item) {
  switch (item) {
    case MenuItem::Copy:
      return CopySelected();
    case MenuItem::CopyAll:
      return CopyAll();
    case MenuItem::Clear:
      return Clear();
    case MenuItem::Delete:
      return DeleteSelected();
    case MenuItem::Export:
      return Export();
    case MenuItem::Hide:
      return Hide();
    case MenuItem::About:
      return About();
  }
}

void MenuCommands::CopySelected() {
  MessageList& list = ports_.window.List();
  const std::int16_t count = list.ListCount();
  if (list.SelCount() <= 0 || count <= 0) return;
  // Cleared first: if placing the text fails, the clipboard is left empty, never stale.
  ports_.clipboard.Clear();
  ports_.clipboard.SetText(SelectedLinesText(list));
}

void MenuCommands::CopyAll() {
  MessageList& list = ports_.window.List();
  if (list.ListCount() <= 0) return;
  ports_.clipboard.Clear();
  ports_.clipboard.SetText(AllLinesText(list));
}

void MenuCommands::Clear() { ports_.window.List().Clear(); }

void MenuCommands::DeleteSelected() { modAPIs::DeleteSelectedMessages(ports_.thread); }

void MenuCommands::Export() {
  const std::u16string path = GetExportFileName(ports_.saveDialog, ports_.thread.parentWindow());
  // The window may have gone while the dialog was open: the command ends, touching nothing.
  if (path.empty() || !ports_.window.IsLoaded()) return;
  MessageList& list = ports_.window.List();
  if (list.ListCount() <= 0) return;
  // The bytes are ready before the file is opened, so a failure to build them leaves an
  // existing file as it was.
  const ExportBytes content = EncodeExportText(AllLinesText(list), ports_.ansi);
  ports_.files.Replace(path, content.bytes);
}

void MenuCommands::Hide() { ports_.window.Hide(); }

void MenuCommands::About() { ports_.messageBox.ShowOk(kAboutPrompt, kAboutTitle); }

}  // namespace sirel
