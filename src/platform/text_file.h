// The text-file port: writes one whole file in a single open, write and close.
//
// Contract of Replace(path, bytes):
// - Opens the file for output: created when missing, truncated when present. The caller has
//   the bytes ready before the call, so the file is opened only when there is something to
//   write.
// - An open that fails changes nothing on disk (an existing file stays as it was) and throws:
//   PathNotFound when the folder does not exist, PermissionDenied when access is refused (a
//   read-only file, a folder, a file locked by another program), PathFileAccess for any other
//   reason.
// - A write that fails part-way, or a close that fails, throws DeviceIo and leaves an existing
//   file as it was, byte for byte: the target is replaced only once every byte is written.
//   Nothing is left open, and no file but the target is left behind.
// - The file stays the same file where a replacement could not be (it has other names, its
//   folder refuses new files): it is then written in place. A longer text that does not fit
//   leaves it as it was; a write that fails while its old bytes are being overwritten leaves
//   it holding the new bytes written so far (DeviceIo).
#pragma once

#include <string>
#include <string_view>

namespace sirel {

class TextFileWriter {
 public:
  virtual ~TextFileWriter() = default;
  virtual void Replace(const std::u16string& path, std::string_view bytes) = 0;
};

}  // namespace sirel
