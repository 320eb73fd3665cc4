// What the end-to-end host reads back from the screen and the system, the way a person's eyes
// would: the pop-up menu's items and where they stand, the dialogs on screen, the list box's
// lines, selection and line positions, and the clipboard's exact contents. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace sirel::e2e {

// Lower-case hex of bytes, two digits each; "-" for none (so a reply never ends in a blank).
std::string Hex(const std::string& bytes);

// UTF-8 of wide text.
std::string Utf8(const std::wstring& text);

struct MenuItemView {
  std::wstring caption;
  POINT center;  // screen coordinates
};

// The items of the pop-up menu that is open on screen; empty when none is open.
std::vector<MenuItemView> OpenPopupMenuItems();

struct DialogView {
  HWND hwnd = nullptr;
  std::wstring title;
  HWND owner = nullptr;
  std::wstring text;              // the visible static texts, joined by "\n"
  std::vector<std::wstring> buttons;  // the visible buttons' captions
  std::vector<std::wstring> edits;    // the visible edit fields' texts
  RECT rect{};
};

// The visible dialog boxes of this process.
std::vector<DialogView> OpenDialogs();

// The list box of the message window.
HWND ListBoxOf(HWND messageWindow);
std::vector<std::wstring> ListLines(HWND listbox);
std::vector<int> SelectedIndexes(HWND listbox);
// The screen point at the middle of line index, or, for -1, in the middle of the list's bottom
// strip (below the lines of a short list).
POINT LinePoint(HWND listbox, int index);

struct ClipboardView {
  int formats = 0;
  bool hasUnicode = false;
  std::string unicodeUtf8;  // CF_UNICODETEXT, as UTF-8
  bool hasText = false;
  std::string textBytes;    // CF_TEXT, up to its NUL
};

// Reads the clipboard; false when it cannot be opened.
bool ReadClipboard(ClipboardView& view);

}  // namespace sirel::e2e
