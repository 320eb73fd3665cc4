// The text-file port on CreateFileW and WriteFile: the bytes, ready before the call, are written
// to a temporary file beside the target, flushed and closed, and then replace the target in one
// step (MoveFileExW). A failure anywhere leaves an existing target byte for byte and removes the
// temporary file. Errors follow the port's contract.
#pragma once

#include <windows.h>

#include "platform/text_file.h"

namespace sirel::win32 {

class DiskTextFileWriter final : public TextFileWriter {
 public:
  // How the written file is closed: CloseHandle, or a test's stand-in that fails (a failure
  // that only shows at the close, as on a network share, cannot be made on a local disk).
  using CloseFunction = BOOL(WINAPI*)(HANDLE);
  explicit DiskTextFileWriter(CloseFunction close = &CloseHandle);

  void Replace(const std::u16string& path, std::string_view bytes) override;

 private:
  CloseFunction close_;
};

}  // namespace sirel::win32
