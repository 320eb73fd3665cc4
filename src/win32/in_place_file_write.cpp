#include "win32/in_place_file_write.h"

#include <algorithm>

#include "core/errors.h"
#include "win32/file_error_code.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

bool SetEnd(HANDLE file, std::uint64_t size) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

}  // namespace

bool WriteBytesAt(HANDLE file, std::uint64_t offset, std::string_view bytes,
                  decltype(&WriteFile) write, std::uint64_t& written) {
  written = 0;
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return false;
  constexpr std::size_t kPiece = 1u << 20;
  while (!bytes.empty()) {
    const DWORD size = static_cast<DWORD>((std::min)(bytes.size(), kPiece));
    DWORD done = 0;
    const BOOL ok = write(file, bytes.data(), size, &done, nullptr);
    written += done;
    if (!ok || done != size) return false;
    bytes.remove_prefix(size);
  }
  return true;
}

void WriteFileInPlace(const std::wstring& name, std::string_view bytes,
                      const DiskFileCalls& calls) {
  UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw SirelError(FileErrorCode(GetLastError()));
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) throw SirelError(ErrorCode::DeviceIo);
  const std::uint64_t oldSize = static_cast<std::uint64_t>(size.QuadPart);
  const std::uint64_t newSize = bytes.size();
  std::uint64_t written = 0;

  // Setting the end takes the space on Windows; writing the part beyond the old end takes it
  // on every file system (Wine and sparse files make the end alone a promise).
  if (newSize > oldSize &&
      (!SetEnd(file.get(), newSize) ||
       !WriteBytesAt(file.get(), oldSize, bytes.substr(static_cast<std::size_t>(oldSize)),
                     calls.write, written))) {
    SetEnd(file.get(), oldSize);
    throw SirelError(ErrorCode::DeviceIo);
  }
  const std::string_view head =
      bytes.substr(0, static_cast<std::size_t>((std::min)(oldSize, newSize)));
  if (!WriteBytesAt(file.get(), 0, head, calls.write, written)) {
    SetEnd(file.get(), written);
    throw SirelError(ErrorCode::DeviceIo);
  }
  if (!SetEnd(file.get(), newSize) || !FlushFileBuffers(file.get())) {
    throw SirelError(ErrorCode::DeviceIo);
  }
  if (!calls.close(file.release())) throw SirelError(ErrorCode::DeviceIo);
}

}  // namespace sirel::win32
