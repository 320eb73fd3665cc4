// The DPI a window is drawn at, and the list's font for it. The thread's DPI awareness is never
// changed: the window keeps that of the thread that makes it (a window cannot be re-parented
// into a parent of another awareness, and every poster's creation re-parents it).
//
// WindowDpi(): GetDpiForWindow where user32 has it (looked up at run time, so the library still
// loads where it does not), else the system DPI. SystemDpi(): the screen's LOGPIXELSX as the
// calling thread sees it. NoteParentChanged(): tells a window of the calling thread that its
// parent changed (it may now be drawn at its new top-level window's DPI); a window that does not
// know ParentChangedMessage() ignores it.
//
// DpiListFont: at the system DPI the list has no font of its own (the platform's default font);
// at another DPI it gets the default font's face at the height scaled to that DPI. The font
// belongs to one native window: Release() when that window is destroyed.
#pragma once

#include <windows.h>

namespace sirel::win32 {

// The DPI messages, by number: the headers declare them only for newer Windows versions.
inline constexpr UINT kDpiChangedMessage = 0x02E0;             // WM_DPICHANGED
inline constexpr UINT kDpiChangedAfterParentMessage = 0x02E3;  // WM_DPICHANGED_AFTERPARENT

int SystemDpi();
int WindowDpi(HWND hwnd);

UINT ParentChangedMessage();
void NoteParentChanged(HWND child);

class DpiListFont {
 public:
  DpiListFont() = default;
  DpiListFont(const DpiListFont&) = delete;
  DpiListFont& operator=(const DpiListFont&) = delete;
  ~DpiListFont() { Release(); }

  // Gives `list` the font for `dpi`, or takes its font off at the system DPI. A font that
  // cannot be made leaves the list as it was.
  void Follow(HWND list, int dpi, int systemDpi);
  // Deletes the font; the list that used it must be gone or given another font.
  void Release() noexcept;
  HFONT font() const { return font_; }

 private:
  HFONT font_ = nullptr;
  int dpi_ = 0;
};

}  // namespace sirel::win32
