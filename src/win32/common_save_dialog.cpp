#include "win32/common_save_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "core/errors.h"
#include "win32/text_conversion.h"
#include "win32/file_name_field_limit.h"
#include "win32/hwnd_value.h"

namespace sirel::win32 {

namespace {

// Pairs of description and pattern, each followed by a NUL; the string's own terminating NUL
// then makes the double NUL that ends the list.
std::wstring FilterText(const std::vector<FileTypeFilter>& filters) {
  std::wstring text;
  for (const FileTypeFilter& filter : filters) {
    text += ToWide(filter.description);
    text += L'\0';
    text += ToWide(filter.pattern);
    text += L'\0';
  }
  return text;
}

std::wstring CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring folder(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, folder.data());
  folder.resize(length < needed ? length : 0);
  return folder;
}

}  // namespace

std::optional<std::u16string> CommonSaveDialog::AskFileName(const SaveFileRequest& request) {
  const std::wstring filter = FilterText(request.filters);
  const std::wstring title = ToWide(request.title);
  const std::wstring initialFolder = CurrentDirectory();  // read just before the call
  // NULs, not spaces: a field of spaces shows the user a name of blanks, and Wine's dialog
  // copies such a field into a fixed-size buffer of its own and overruns it.
  std::wstring file(request.bufferChars, L'\0');
  std::wstring fileTitle(request.bufferChars, L'\0');

  OPENFILENAMEW record{};
  record.lStructSize = kSaveDialogRecordSize;
  // An owner that is no longer a window means no owner: the dialog would refuse to open.
  HWND owner = HwndOf(request.owner);
  if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
  record.hwndOwner = owner;
  record.hInstance = nullptr;
  record.lpstrFilter = filter.c_str();
  record.lpstrCustomFilter = nullptr;
  record.nMaxCustFilter = 0;
  record.nFilterIndex = 0;
  record.lpstrFile = file.data();
  record.nMaxFile = static_cast<DWORD>(file.size());
  record.lpstrFileTitle = fileTitle.data();
  record.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
  record.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  record.lpstrTitle = title.c_str();
  // The host's current directory is the host's: browsing in the dialog must not move it (the
  // script's later relative names would land in the folder the user browsed to).
  record.Flags = OFN_NOCHANGEDIR;
  record.lpstrDefExt = nullptr;

  const FileNameFieldLimit limit(initialFolder.size(), file.size());
  const BOOL chosen = GetSaveFileNameW(&record);
  // And put back should a dialog move it all the same.
  if (!initialFolder.empty() && CurrentDirectory() != initialFolder) {
    SetCurrentDirectoryW(initialFolder.c_str());
  }
  if (chosen) return FromWide(file.data(), file.size());
  // Zero with no extended error is the user's cancel; anything else is the dialog failing.
  if (CommDlgExtendedError() != 0) throw SirelError(ErrorCode::DialogFailed);
  return std::nullopt;
}

}  // namespace sirel::win32
