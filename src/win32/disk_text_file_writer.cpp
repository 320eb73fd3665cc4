#include "win32/disk_text_file_writer.h"

#include <windows.h>

#include <algorithm>

#include "core/errors.h"
#include "win32/text_conversion.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

ErrorCode OpenError(DWORD error) {
  switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ErrorCode::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return ErrorCode::PermissionDenied;
    default:
      return ErrorCode::PathFileAccess;
  }
}

}  // namespace

void DiskTextFileWriter::Replace(const std::u16string& path, std::string_view bytes) {
  const std::wstring name = ToWide(path);
  // A read-only file is refused before it is opened: the system refuses it too, except for an
  // administrator's process under Wine, which must not overwrite it either.
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw SirelError(ErrorCode::PermissionDenied);
  }
  // OPEN_ALWAYS, then truncate: like CREATE_ALWAYS, but a hidden or system file is replaced
  // too instead of refusing. A read-only or locked file fails here, untouched.
  const UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw SirelError(OpenError(GetLastError()));
  if (!SetEndOfFile(file.get())) throw SirelError(ErrorCode::DeviceIo);

  constexpr std::size_t kChunk = 1u << 20;
  while (!bytes.empty()) {
    const DWORD size = static_cast<DWORD>((std::min)(bytes.size(), kChunk));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), size, &written, nullptr) || written != size) {
      throw SirelError(ErrorCode::DeviceIo);
    }
    bytes.remove_prefix(size);
  }
}

}  // namespace sirel::win32
