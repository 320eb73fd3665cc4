// The message window's find bar: a single-line EDIT control along the bottom edge of the
// frame, hidden until the person asks for it (Ctrl+F). The host's message loop never calls
// IsDialogMessage for a component's window, so the bar handles its own keys: Enter and F3 ask
// for the next match, Shift+Enter and Shift+F3 for the previous one, Escape closes the bar; their
// characters (and Ctrl+F's) are eaten, so that the EDIT does not beep. A change of its text
// reaches the owner too. With no match the bar is tinted until its text or the match changes.
//
// The EDIT and its subclass live and die with the native window: the owner creates the bar
// with its list and destroys it from WM_DESTROY; the typed text stays in the EDIT while the
// window lives, hidden or not.
#pragma once

#include <windows.h>

#include <string>

namespace sirel::win32 {

enum class FindStep { kNext, kPrevious };

// What the bar asks of its owner, always on the window's thread.
class FindBarHandler {
 public:
  virtual void OnFindTextChanged() = 0;
  virtual void OnFindStep(FindStep step) = 0;
  virtual void OnFindClose() = 0;

 protected:
  ~FindBarHandler() = default;
};

class FindBar {
 public:
  FindBar() = default;
  FindBar(const FindBar&) = delete;
  FindBar& operator=(const FindBar&) = delete;
  ~FindBar() { Destroy(); }

  // Makes the hidden EDIT as a child of parent; false when the platform refuses.
  bool Create(HWND parent, HINSTANCE instance, int controlId, FindBarHandler* handler);
  void Destroy() noexcept;
  HWND hwnd() const { return edit_; }
  bool IsOpen() const { return open_; }

  // Shows the bar (the owner lays it out first) with its text selected and the focus in it.
  void Open();
  // Hides it; the text stays.
  void Close();
  // The height the bar takes at the bottom of the frame with the given font (null: the
  // control's default), in pixels.
  int HeightFor(HFONT font) const;
  void SetFont(HFONT font);
  std::u16string Text() const;
  // Tints the bar while no line holds its text.
  void ShowNoMatch(bool noMatch);
  // The frame's WM_CTLCOLOREDIT for the bar: the tint's brush, or null for the default colours.
  HBRUSH ColorFor(HDC dc) const;

 private:
  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  bool OnKey(UINT message, WPARAM key);

  HWND edit_ = nullptr;
  FindBarHandler* handler_ = nullptr;
  bool open_ = false;
  bool no_match_ = false;
  HBRUSH tint_ = nullptr;
};

}  // namespace sirel::win32
