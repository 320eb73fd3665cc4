#include "win32/file_name_field_limit.h"

#include <dlgs.h>

#include <cwchar>

namespace sirel::win32 {

struct FileNameFieldLimit::ActiveLimit {
  DWORD thread = 0;
  HHOOK hook = nullptr;
  int limit = 0;
  bool applied = false;
  ActiveLimit* next = nullptr;
};

namespace {

// The limits in force, one per thread that shows a dialog (no thread_local: MinGW emulates it
// with a block per thread that an unloaded library would leave behind). Each entry lives as long
// as its FileNameFieldLimit, for the length of the dialog.
using ActiveLimit = FileNameFieldLimit::ActiveLimit;
SRWLOCK g_limits_lock = SRWLOCK_INIT;
ActiveLimit* g_limits = nullptr;

ActiveLimit* LimitOfThisThread() noexcept {
  const DWORD thread = GetCurrentThreadId();
  AcquireSRWLockShared(&g_limits_lock);
  ActiveLimit* found = g_limits;
  while (found != nullptr && found->thread != thread) found = found->next;
  ReleaseSRWLockShared(&g_limits_lock);
  return found;
}

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
  ActiveLimit* active = LimitOfThisThread();
  if (active != nullptr && code == HCBT_ACTIVATE && !active->applied) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialog(window) && LimitNameField(window, active->limit)) active->applied = true;
  }
  return CallNextHookEx(active != nullptr ? active->hook : nullptr, code, wParam, lParam);
}

}  // namespace

FileNameFieldLimit::FileNameFieldLimit(std::size_t folderLength, std::size_t bufferChars) {
  if (LimitOfThisThread() != nullptr) return;  // a dialog within a dialog: the outer limit stays
  const std::size_t room = (bufferChars < MAX_PATH ? bufferChars : MAX_PATH) - 1;
  const std::size_t used = folderLength + 1;  // the folder and a separator
  active_ = std::make_unique<ActiveLimit>();
  active_->thread = GetCurrentThreadId();
  active_->limit = used < room ? static_cast<int>(room - used) : 1;
  AcquireSRWLockExclusive(&g_limits_lock);
  active_->next = g_limits;
  g_limits = active_.get();
  ReleaseSRWLockExclusive(&g_limits_lock);
  hook_.reset(SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId()));
  active_->hook = hook_.get();
}

FileNameFieldLimit::~FileNameFieldLimit() {
  if (!active_) return;
  hook_.reset();
  AcquireSRWLockExclusive(&g_limits_lock);
  ActiveLimit** link = &g_limits;
  while (*link != nullptr && *link != active_.get()) link = &(*link)->next;
  if (*link != nullptr) *link = active_->next;
  ReleaseSRWLockExclusive(&g_limits_lock);
}

}  // namespace sirel::win32
