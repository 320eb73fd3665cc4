// The text-file port on the Win32 file calls. The bytes, ready before the call, reach the target
// in one of two ways:
// - replacing: written to a temporary file beside the target, flushed and closed, which then
//   takes the target's place (ReplaceFileW, which keeps the target's security, attributes,
//   streams and creation time; a plain move for a new file). A failure anywhere leaves an
//   existing target byte for byte and removes the temporary file.
// - in place, where a new file could not be the same file: a target with more than one name
//   (a hard link), or in a folder that refuses new files. The target itself is written (see
//   in_place_file_write.h for what a failure leaves).
// A symbolic link is followed: the file it names is the one replaced. Errors follow the port's
// contract.
#pragma once

#include <windows.h>

#include "platform/text_file.h"

namespace sirel::win32 {

// The system calls the writer makes through pointers, so that a test can make them fail as a
// real system does: a folder that lets no file be created, a write that fails part-way, a
// failure that only shows at the close (as on a network share), a replacement that fails
// half-way.
struct DiskFileCalls {
  // Creates the temporary file beside the target.
  decltype(&CreateFileW) createTemporary = &CreateFileW;
  decltype(&WriteFile) write = &WriteFile;
  // Closes the written file (temporary or target).
  decltype(&CloseHandle) close = &CloseHandle;
  decltype(&ReplaceFileW) replace = &ReplaceFileW;
};

class DiskTextFileWriter final : public TextFileWriter {
 public:
  explicit DiskTextFileWriter(DiskFileCalls calls = {});

  void Replace(const std::u16string& path, std::string_view bytes) override;

 private:
  DiskFileCalls calls_;
};

}  // namespace sirel::win32
