// The error of the table that a failed Win32 file call stands for, as the text-file port
// reports it: a missing folder, a refusal, or any other reason the file cannot be opened.
#pragma once

#include <windows.h>

#include "core/errors.h"

namespace sirel::win32 {

inline ErrorCode FileErrorCode(DWORD error) {
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
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
      return ErrorCode::PermissionDenied;
    default:
      return ErrorCode::PathFileAccess;
  }
}

}  // namespace sirel::win32
