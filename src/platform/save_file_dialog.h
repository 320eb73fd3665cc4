// The save-file dialog port: the platform's standard modal dialog that asks the user for the
// name of a file to write.
//
// Contract:
// - AskFileName shows the dialog, owned by request.owner (0: no owner), titled request.title,
//   offering request.filters in order (the first one chosen at start), starting in the
//   process's current directory as it is just before the call, with an empty file-name field
//   and a file-name buffer of request.bufferChars characters (the terminating NUL included).
//   It asks the dialog for nothing more: no extension is added, no prompt before replacing a
//   file, no check that the folder exists, and the current directory is not restored.
// - Returns the whole file-name buffer as the dialog left it (request.bufferChars characters:
//   the chosen path, then NULs) when the user chose a name; std::nullopt when the user
//   cancelled. Throws DialogFailed when the dialog itself fails (for example a typed name
//   longer than the buffer).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/vb_types.h"

namespace sirel {

struct FileTypeFilter {
  std::u16string description;  // shown to the user, e.g. "Text Files (*.txt)"
  std::u16string pattern;      // e.g. "*.txt"
};

struct SaveFileRequest {
  WindowHandle owner = 0;
  std::u16string title;
  std::vector<FileTypeFilter> filters;
  std::size_t bufferChars = 0;
};

class SaveFileDialog {
 public:
  virtual ~SaveFileDialog() = default;
  virtual std::optional<std::u16string> AskFileName(const SaveFileRequest& request) = 0;
};

}  // namespace sirel
