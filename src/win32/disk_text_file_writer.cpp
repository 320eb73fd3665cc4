#include "win32/disk_text_file_writer.h"

#include <atomic>
#include <cstdint>

#include "core/errors.h"
#include "win32/file_error_code.h"
#include "win32/file_replacement.h"
#include "win32/in_place_file_write.h"
#include "win32/text_conversion.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

// The folder part of a path with its separator ("" for a bare name: the current directory).
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// A new, empty file beside the target, under a short name of its own (the target's name may be
// as long as a name can be), removed again unless Keep() was called. A folder that refuses it
// leaves it without a handle and with the system's error.
class TemporaryFile {
 public:
  TemporaryFile(const std::wstring& target, decltype(&CreateFileW) create) {
    static std::atomic<unsigned> counter{0};
    const std::wstring folder = FolderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
      wchar_t leaf[40];
      wsprintfW(leaf, L"~sirel%lx-%x.tmp", GetCurrentProcessId(), counter++);
      name_ = folder + leaf;
      file_.reset(create(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file_) return;
      error_ = GetLastError();
      if (error_ != ERROR_FILE_EXISTS && error_ != ERROR_ALREADY_EXISTS) break;
    }
    kept_ = true;  // no file of ours to remove
  }
  ~TemporaryFile() {
    file_.reset();
    if (!kept_) DeleteFileW(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool created() const { return static_cast<bool>(file_); }
  DWORD error() const { return error_; }
  HANDLE handle() const { return file_.get(); }
  HANDLE ReleaseHandle() { return file_.release(); }
  const std::wstring& name() const { return name_; }
  void Keep() { kept_ = true; }

 private:
  std::wstring name_;
  UniqueFile file_;
  DWORD error_ = ERROR_SUCCESS;
  bool kept_ = false;
};

// What the existing check finds out about the target.
struct Target {
  std::wstring name;  // the file's own path: a symbolic link's target, not the link
  bool exists = false;
  DWORD links = 1;
  DWORD attributes = 0;
};

// An existing target must be one this process may write: a file that another program holds
// open, or a folder, is refused before anything is written. A read-only file is refused too:
// the system refuses it, except for an administrator's process under Wine, which must not
// overwrite it either.
Target Inspect(const std::wstring& name) {
  Target target;
  target.name = name;
  const UniqueFile probe(CreateFileW(name.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!probe) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return target;
    throw SirelError(FileErrorCode(GetLastError()));
  }
  target.exists = true;
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileInformationByHandle(probe.get(), &information)) {
    target.links = information.nNumberOfLinks;
  }
  wchar_t resolved[MAX_PATH * 4];
  const DWORD length = GetFinalPathNameByHandleW(probe.get(), resolved, MAX_PATH * 4,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length > 0 && length < MAX_PATH * 4) target.name.assign(resolved, length);
  target.attributes = GetFileAttributesW(target.name.c_str());
  if (target.attributes != INVALID_FILE_ATTRIBUTES &&
      (target.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw SirelError(ErrorCode::PermissionDenied);
  }
  return target;
}

}  // namespace

DiskTextFileWriter::DiskTextFileWriter(DiskFileCalls calls) : calls_(calls) {}

void DiskTextFileWriter::Replace(const std::u16string& path, std::string_view bytes) {
  const Target target = Inspect(ToWide(path));
  // A file with other names stays one file with them: a new file would take this name only.
  if (target.exists && target.links > 1) return WriteFileInPlace(target.name, bytes, calls_);

  // The bytes go to a file of their own in the same folder, which replaces the target in one
  // step only once every byte is on disk and the file closed without error: a failure at any
  // point (a full disk, a quota, a failing close) leaves the old file byte for byte.
  TemporaryFile temporary(target.name, calls_.createTemporary);
  if (!temporary.created()) {
    // A folder where no file may be created still lets its files be written.
    if (target.exists && temporary.error() == ERROR_ACCESS_DENIED) {
      return WriteFileInPlace(target.name, bytes, calls_);
    }
    throw SirelError(FileErrorCode(temporary.error()));
  }
  std::uint64_t written = 0;
  if (!WriteBytesAt(temporary.handle(), 0, bytes, calls_.write, written) ||
      !FlushFileBuffers(temporary.handle())) {
    throw SirelError(ErrorCode::DeviceIo);
  }
  if (!calls_.close(temporary.ReleaseHandle())) throw SirelError(ErrorCode::DeviceIo);
  // A hidden or system file stays one, as it would when written over in place (Wine's
  // ReplaceFileW does not carry these over).
  const DWORD kept =
      target.exists ? target.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
  if (kept != 0) SetFileAttributesW(temporary.name().c_str(), kept);

  if (!target.exists) {
    if (!MoveFileExW(temporary.name().c_str(), target.name.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const ErrorCode error = FileErrorCode(GetLastError());
      throw SirelError(error == ErrorCode::PathFileAccess ? ErrorCode::DeviceIo : error);
    }
    temporary.Keep();
    return;
  }
  if (ReplaceWithWrittenFile(target.name, temporary.name(), calls_.replace)) {
    temporary.Keep();
    return;
  }
  // Refused for want of a right to the file as a whole (to delete it, to carry its security
  // over) while it may be written: it is written in place, the temporary file goes.
  WriteFileInPlace(target.name, bytes, calls_);
}

}  // namespace sirel::win32
