// The save-file dialog port on the common dialog GetSaveFileNameW. The record is the old-size
// one (the platform's OPENFILENAME_SIZE_VERSION_400W: without the later extension fields), in
// its wide form so that folder and file names outside the ANSI code page work. The file-name
// and file-title buffers start as NULs: the field shows empty, ready for typing. The host's
// current directory is the same after the dialog as before it, wherever the user browsed.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "platform/save_file_dialog.h"

namespace sirel::win32 {

// The size the record is given: 76 bytes in the 32-bit build, 136 in the 64-bit one.
inline const DWORD kSaveDialogRecordSize = OPENFILENAME_SIZE_VERSION_400W;

class CommonSaveDialog final : public SaveFileDialog {
 public:
  std::optional<std::u16string> AskFileName(const SaveFileRequest& request) override;
};

}  // namespace sirel::win32
