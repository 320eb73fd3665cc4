// Asking the user for the export file's name (the window's GetExportFileName) and the rules
// that turn the dialog's file-name buffer into the path to write.
//
// The name rules, in order: the path ends at the first NUL of the buffer (the whole buffer
// when it holds none, so a path that fills every character is never cut); the spaces before
// it are removed, those at its end kept; ".txt" is appended unless the name already ends in
// ".txt" in any letter case. So log gives log.txt, "log " gives "log .txt", Notes.TXT stays,
// data.csv gives data.csv.txt, x.text gives x.text.txt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/save_file_dialog.h"
#include "core/vb_types.h"

namespace sirel {

// The dialog's file-name buffer, the terminating NUL included.
inline constexpr std::size_t kExportFileBufferChars = 255;
inline constexpr const char16_t* kExportDialogTitle = u"Open A Long File";

// The dialog request of the export: the given owner, the title, text files then all files.
SaveFileRequest ExportDialogRequest(WindowHandle owner);

// The path to write for a file-name buffer returned by the dialog; empty when the buffer holds
// no name at all.
std::u16string ExportFileNameFromBuffer(std::u16string_view buffer);

// Shows the save dialog owned by owner and returns the path to write, always ending in ".txt"
// in some letter case; an empty string when the user cancels. Throws DialogFailed when the
// dialog fails.
std::u16string GetExportFileName(SaveFileDialog& dialog, WindowHandle owner);

}  // namespace sirel
