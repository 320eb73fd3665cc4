#include "win32/disk_text_file_writer.h"

#include <algorithm>
#include <atomic>

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

// The folder part of a path with its separator ("" for a bare name: the current directory).
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// A new, empty file beside the target, under a short name of its own (the target's name may be
// as long as a name can be), removed again unless Keep() was called.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    const std::wstring folder = FolderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
      wchar_t leaf[40];
      wsprintfW(leaf, L"~sirel%lx-%x.tmp", GetCurrentProcessId(), counter++);
      name_ = folder + leaf;
      file_.reset(CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file_) return;
      if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    throw SirelError(OpenError(GetLastError()));
  }
  ~TemporaryFile() {
    file_.reset();
    if (!kept_) DeleteFileW(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  HANDLE handle() const { return file_.get(); }
  HANDLE ReleaseHandle() { return file_.release(); }
  const std::wstring& name() const { return name_; }
  void Keep() { kept_ = true; }

 private:
  std::wstring name_;
  UniqueFile file_;
  bool kept_ = false;
};

// An existing target must be one this process may replace: a file that another program holds
// open, or a folder, is refused before anything is written.
void CheckReplaceable(const std::wstring& name) {
  const UniqueFile probe(CreateFileW(name.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!probe && GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw SirelError(OpenError(GetLastError()));
  }
}

}  // namespace

DiskTextFileWriter::DiskTextFileWriter(CloseFunction close) : close_(close) {}

void DiskTextFileWriter::Replace(const std::u16string& path, std::string_view bytes) {
  const std::wstring name = ToWide(path);
  // A read-only file is refused before anything is written: the system refuses it too, except
  // for an administrator's process under Wine, which must not overwrite it either.
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw SirelError(ErrorCode::PermissionDenied);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) CheckReplaceable(name);

  // The bytes go to a file of their own in the same folder, which replaces the target in one
  // step only once every byte is on disk and the file closed without error: a failure at any
  // point (a full disk, a quota, a failing close) leaves the old file byte for byte.
  TemporaryFile temporary(name);
  constexpr std::size_t kChunk = 1u << 20;
  while (!bytes.empty()) {
    const DWORD size = static_cast<DWORD>((std::min)(bytes.size(), kChunk));
    DWORD written = 0;
    if (!WriteFile(temporary.handle(), bytes.data(), size, &written, nullptr) || written != size) {
      throw SirelError(ErrorCode::DeviceIo);
    }
    bytes.remove_prefix(size);
  }
  if (!FlushFileBuffers(temporary.handle())) throw SirelError(ErrorCode::DeviceIo);
  if (!close_(temporary.ReleaseHandle())) throw SirelError(ErrorCode::DeviceIo);
  // A hidden or system file stays one, as it would when written over in place.
  const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES
                         ? 0
                         : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (kept != 0) SetFileAttributesW(temporary.name().c_str(), kept);
  if (!MoveFileExW(temporary.name().c_str(), name.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const ErrorCode error = OpenError(GetLastError());
    throw SirelError(error == ErrorCode::PathFileAccess ? ErrorCode::DeviceIo : error);
  }
  temporary.Keep();
}

}  // namespace sirel::win32
