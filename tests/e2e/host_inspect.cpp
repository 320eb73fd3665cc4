#include "tests/e2e/host_inspect.h"

#include <cstdio>

namespace sirel::e2e {

std::string Hex(const std::string& bytes) {
  if (bytes.empty()) return "-";
  std::string out;
  char digits[3];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    out += digits;
  }
  return out;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

namespace {

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

bool IsOurs(HWND hwnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  return process == GetCurrentProcessId();
}

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<std::vector<HWND>*>(param);
  if (IsWindowVisible(hwnd) && IsOurs(hwnd)) found->push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<MenuItemView> OpenPopupMenuItems() {
  std::vector<HWND> windows;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND hwnd : windows) {
    if (ClassOf(hwnd) != L"#32768") continue;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(hwnd, MN_GETHMENU, 0, 0));
    if (menu == nullptr) continue;
    std::vector<MenuItemView> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      wchar_t caption[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
      RECT rect{};
      GetMenuItemRect(hwnd, menu, static_cast<UINT>(i), &rect);
      items.push_back({caption, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}});
    }
    return items;
  }
  return {};
}

std::vector<DialogView> OpenDialogs() {
  std::vector<HWND> windows;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
  std::vector<DialogView> dialogs;
  for (HWND hwnd : windows) {
    if (ClassOf(hwnd) != L"#32770") continue;
    DialogView view;
    view.hwnd = hwnd;
    view.title = WindowText(hwnd);
    view.owner = GetWindow(hwnd, GW_OWNER);
    GetWindowRect(hwnd, &view.rect);
    std::vector<HWND> children;
    EnumChildWindows(hwnd, CollectChildren, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
      if (!IsWindowVisible(child)) continue;
      const std::wstring kind = ClassOf(child);
      const std::wstring text = WindowText(child);
      if (_wcsicmp(kind.c_str(), L"Static") == 0 && !text.empty()) {
        if (!view.text.empty()) view.text += L"\n";
        view.text += text;
      } else if (_wcsicmp(kind.c_str(), L"Button") == 0 && GetParent(child) == hwnd) {
        view.buttons.push_back(text);
      } else if (_wcsicmp(kind.c_str(), L"Edit") == 0) {
        view.edits.push_back(text);
      }
    }
    dialogs.push_back(view);
  }
  return dialogs;
}

HWND ListBoxOf(HWND messageWindow) {
  return FindWindowExW(messageWindow, nullptr, L"ListBox", nullptr);
}

std::vector<std::wstring> ListLines(HWND listbox) {
  std::vector<std::wstring> lines;
  const int count = static_cast<int>(SendMessageW(listbox, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const int length = static_cast<int>(SendMessageW(listbox, LB_GETTEXTLEN, i, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(listbox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    lines.push_back(text);
  }
  return lines;
}

std::vector<int> SelectedIndexes(HWND listbox) {
  const int count = static_cast<int>(SendMessageW(listbox, LB_GETSELCOUNT, 0, 0));
  std::vector<int> indexes(count > 0 ? static_cast<std::size_t>(count) : 0);
  if (count > 0) {
    SendMessageW(listbox, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(indexes.data()));
  }
  return indexes;
}

POINT LinePoint(HWND listbox, int index) {
  RECT rect{};
  POINT point{};
  if (index >= 0) {
    SendMessageW(listbox, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  } else {
    GetClientRect(listbox, &rect);
    point = {(rect.left + rect.right) / 2, rect.bottom - 4};
  }
  ClientToScreen(listbox, &point);
  return point;
}

bool ReadClipboard(ClipboardView& view) {
  bool opened = false;
  for (int attempt = 0; attempt < 20 && !opened; ++attempt) {
    opened = OpenClipboard(nullptr);
    if (!opened) Sleep(10);
  }
  if (!opened) return false;
  view = ClipboardView{};
  view.formats = CountClipboardFormats();
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    view.hasUnicode = true;
    view.unicodeUtf8 = Utf8(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    view.hasText = true;
    view.textBytes = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return true;
}

}  // namespace sirel::e2e
