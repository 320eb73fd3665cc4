// The save-file dialog port on the common dialog GetSaveFileNameW. The record is the old-size
// one (the platform's OPENFILENAME_SIZE_VERSION_400W: without the later extension fields), in
// its wide form so that folder and file names outside the ANSI code page work. The file-name
// and file-title buffers start as NULs: the field shows empty, ready for typing.
#pragma once

#include "platform/save_file_dialog.h"

namespace sirel::win32 {

class CommonSaveDialog final : public SaveFileDialog {
 public:
  std::optional<std::u16string> AskFileName(const SaveFileRequest& request) override;
};

}  // namespace sirel::win32
