#include "win32/file_name_field_limit.h"

#include <dlgs.h>

#include <cwchar>

namespace sirel::win32 {

namespace {

thread_local HHOOK t_hook = nullptr;
thread_local int t_limit = 0;
thread_local bool t_applied = false;

bool IsDialog(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wcscmp(name, L"#32770") == 0;
}

BOOL CALLBACK FindEdit(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (_wcsicmp(name, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The file-name field: the edit field inside the combo box cmb13 (a plain or an extended combo
// box, depending on the system) of the Explorer-style dialog, or the edit field edt1 of the old
// style.
bool LimitNameField(HWND dialog, int limit) {
  HWND edit = GetDlgItem(dialog, edt1);
  if (HWND combo = GetDlgItem(dialog, cmb13)) {
    EnumChildWindows(combo, FindEdit, reinterpret_cast<LPARAM>(&edit));
  }
  if (edit == nullptr) return false;
  SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  return true;
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && !t_applied) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialog(window) && LimitNameField(window, t_limit)) t_applied = true;
  }
  return CallNextHookEx(t_hook, code, wParam, lParam);
}

}  // namespace

FileNameFieldLimit::FileNameFieldLimit(std::size_t folderLength, std::size_t bufferChars) {
  if (t_hook != nullptr) return;  // a dialog within a dialog: the outer limit stays
  const std::size_t room = (bufferChars < MAX_PATH ? bufferChars : MAX_PATH) - 1;
  const std::size_t used = folderLength + 1;  // the folder and a separator
  t_limit = used < room ? static_cast<int>(room - used) : 1;
  t_applied = false;
  hook_.reset(SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId()));
  t_hook = hook_.get();
}

FileNameFieldLimit::~FileNameFieldLimit() {
  if (!hook_) return;
  hook_.reset();
  t_hook = nullptr;
}

}  // namespace sirel::win32
