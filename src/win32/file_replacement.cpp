#include "win32/file_replacement.h"

#include <atomic>

#include "core/errors.h"
#include "win32/file_error_code.h"

namespace sirel::win32 {

namespace {

bool Exists(const std::wstring& name) {
  return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name beside the target that no file has yet, short whatever the target's name.
std::wstring BackupNameFor(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t separator = target.find_last_of(L"\\/");
  const std::wstring folder =
      separator == std::wstring::npos ? std::wstring() : target.substr(0, separator + 1);
  std::wstring name;
  do {
    wchar_t leaf[40];
    wsprintfW(leaf, L"~sirel%lx-%x.bak", GetCurrentProcessId(), counter++);
    name = folder + leaf;
  } while (Exists(name));
  return name;
}

}  // namespace

bool ReplaceWithWrittenFile(const std::wstring& target, const std::wstring& replacement,
                            decltype(&ReplaceFileW) replace) {
  const std::wstring backup = BackupNameFor(target);
  if (replace(target.c_str(), replacement.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
    // The backup is the old file; another program that still holds it open keeps it until it
    // lets go.
    DeleteFileW(backup.c_str());
    return true;
  }
  const DWORD error = GetLastError();
  // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 (and any failure like it) leaves the old file under the
  // backup name and the target's name empty: the old file goes back.
  if (!Exists(target) && Exists(backup) &&
      !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    throw SirelError(ErrorCode::DeviceIo);
  }
  if (error == ERROR_ACCESS_DENIED && Exists(target)) return false;
  const ErrorCode code = FileErrorCode(error);
  throw SirelError(code == ErrorCode::PathFileAccess ? ErrorCode::DeviceIo : code);
}

}  // namespace sirel::win32
