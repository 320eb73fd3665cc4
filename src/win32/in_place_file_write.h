// Writing bytes into an open file, and writing an existing file in place (the file keeps its
// identity: its other names, its security, its streams).
//
// WriteFileInPlace(name, bytes, calls) writes the existing file `name` so that it holds exactly
// `bytes`:
// - the open is refused as the port's open is (PathNotFound, PermissionDenied, PathFileAccess);
// - a longer text first takes its space: the file's end is set to the new size and the part
//   beyond the old end is written before any old byte is touched, so a full disk or a quota
//   fails there, the file is cut back to its old end and holds its old bytes (DeviceIo);
// - a write that fails while the old bytes are being overwritten cuts the file where the
//   writing stopped: it holds the first bytes of the new text, as far as they were written
//   (DeviceIo);
// - a failing flush or close throws DeviceIo once every byte was written.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "win32/disk_text_file_writer.h"

namespace sirel::win32 {

// Writes `bytes` at `offset` in pieces; false on the first failing piece. `written` counts the
// bytes that reached the file.
bool WriteBytesAt(HANDLE file, std::uint64_t offset, std::string_view bytes,
                  decltype(&WriteFile) write, std::uint64_t& written);

void WriteFileInPlace(const std::wstring& name, std::string_view bytes,
                      const DiskFileCalls& calls);

}  // namespace sirel::win32
