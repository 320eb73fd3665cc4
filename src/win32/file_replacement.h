// Puts a written and closed file in the place of an existing target, the way Windows replaces
// a document: ReplaceFileW, which gives the new file the target's security descriptor,
// attributes, other streams and creation time. The old file is set aside under a backup name
// beside it for the step and deleted after it; whatever state a failure of the step leaves,
// the old file is put back under its name when its name was left empty.
//
// Returns true once replaced. Returns false when the system refused the step for want of a
// right (ERROR_ACCESS_DENIED: no right to delete the target, or to carry its security over)
// and the target is still in place, so the caller may write it in place instead. Other
// failures throw PermissionDenied (the target is held by another program), PathNotFound, or
// DeviceIo (the step itself failed).
#pragma once

#include <windows.h>

#include <string>

namespace sirel::win32 {

bool ReplaceWithWrittenFile(const std::wstring& target, const std::wstring& replacement,
                            decltype(&ReplaceFileW) replace = &ReplaceFileW);

}  // namespace sirel::win32
