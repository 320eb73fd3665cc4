// Keeps the save dialog's file-name field to what the caller's name buffer can take. Wine 8's
// dialog joins the folder and the typed name in a fixed buffer of MAX_PATH characters without a
// length check, so a long typed name (about 250 characters in a short folder) overruns it and
// crashes the host process; and on any system a path longer than the caller's buffer only
// makes the dialog fail. While a FileNameFieldLimit exists, the first file dialog that the
// calling thread activates gets its file-name field limited so that the starting folder, a
// separator and the name fit the buffer (its NUL included) and MAX_PATH. The dialog's record is
// not touched: the limit is set from a CBT hook of the calling thread. A user who browses into a deeper
// folder after typing can still meet the dialog's own error for a path that does not fit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "win32/unique_resource.h"

namespace sirel::win32 {

class FileNameFieldLimit {
 public:
  FileNameFieldLimit(std::size_t folderLength, std::size_t bufferChars);
  ~FileNameFieldLimit();
  FileNameFieldLimit(const FileNameFieldLimit&) = delete;
  FileNameFieldLimit& operator=(const FileNameFieldLimit&) = delete;

  struct ActiveLimit;  // this thread's limit, linked where the hook finds it

 private:
  std::unique_ptr<ActiveLimit> active_;
  UniqueHook hook_;
};

}  // namespace sirel::win32
