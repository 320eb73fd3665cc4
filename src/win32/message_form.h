// The message window frmSirels on Win32: a sizable top-level window titled "Sirel Messages"
// whose client area (7965 x 1500 twips at the screen's DPI) holds the list lbxSirels (a real
// LISTBOX, 7900 x 1425 twips at the client origin). It has its own icon and no menu bar, and is
// created hidden. It implements the MessageWindow port; the object outlives its native window:
// closing the window through its frame destroys the native window and its lines, and
// EnsureLoaded() makes it afresh (design title and size, hidden, empty, no parent).
//
// Layout: the load step captures WidthMargin and HeightMargin (window outer size - list size +
// 20 twips); every size change then sizes the list from the window's outer size (window/layout.h:
// a negative size is never applied; a rejected width skips the height). A minimised window is
// not laid out; it is laid out again when it is restored.
//
// DPI (message_form_dpi.cpp): twips convert at the window's own DPI (window_dpi.h), which starts
// as the system DPI and follows WM_DPICHANGED (top-level: the DPI it brings and the rectangle it
// suggests), WM_DPICHANGED_AFTERPARENT and a change of parent (a child: the DPI the window now
// has; its position in the parent and its outer size keep their twips). Each change takes the
// margins again (their frame part measured anew), gives the list the font for that DPI (none at
// the system DPI) and lays the list out. Top and Left read back the twips the client set while
// the window stands where those twips put it at its current DPI.
//
// Find: Ctrl+F opens the find bar along the bottom edge (the list above it is shorter by the
// bar's height; with the bar closed the layout is exactly as above); typing finds, from the line
// found last (else the first line in view) toward the newest, the first line that holds the
// text without regard to case, and holds it as the person's selection; Enter or F3 finds the
// next, Shift+Enter or Shift+F3 the previous, wrapping; F3 and Shift+F3 work from the list too;
// Escape closes the bar and gives the focus back to the list.
//
// Mouse and keys on the list: releasing the right button over it opens the pop-up menu mnuForm
// at the pointer (the right button changes neither the selection nor the current line); Shift+
// F10 and the context-menu key open it at the current line; Ctrl+C runs "&Copy Selected Sirels",
// Delete runs "&Delete Selected Messages", Ctrl+A selects every line. A chosen item's command
// runs before the handler returns. Any error of a command or the menu is shown to the user in a
// message box titled "Sirel Messages"; none leaves the window procedure. While a command runs
// (a dialog or message box of its own is open), the menu and the command keys do nothing, and
// a close through the frame is carried out when the command has ended.
//
// Thread: the window belongs to the thread that made it; every member must be called on it.
// Close() (the end of the thread's apartment) destroys the native window as the frame's close
// does; the menu and the message boxes that the native window owns end with it, and after a
// menu or a dialog of the window returns with the native window gone, its command ends there,
// touches nothing and shows nothing. Destroying the object destroys the native window only when
// it still exists and belongs to the calling thread. At the end of its thread the DLL abandons
// the window to the system first (AbandonToSystem), so that nothing is sent to a window from a
// thread-detach notification.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/message_window.h"
#include "win32/find_bar.h"
#include "win32/list_box_list.h"
#include "win32/locale_text_folding.h"
#include "win32/popup_menu.h"
#include "win32/window_dpi.h"
#include "window/layout.h"
#include "window/menu.h"
#include "window/twip_scale.h"

namespace sirel::win32 {

class MessageForm final : public MessageWindow, private ListInputHandler, private FindBarHandler {
 public:
  static constexpr const wchar_t* kClassName = L"SirelMessageWindow";
  static constexpr float kClientWidthTwips = 7965.0f;
  static constexpr float kClientHeightTwips = 1500.0f;
  static constexpr float kListWidthTwips = 7900.0f;
  static constexpr float kListHeightTwips = 1425.0f;
  static constexpr int kListControlId = 1;
  static constexpr int kFindBarControlId = 2;

  explicit MessageForm(HINSTANCE instance);
  // At an unload (no window of the class left): unregisters the window class and destroys its
  // two icons, which would otherwise outlive the library (two USER objects per load).
  static void ReleaseWindowClass(HINSTANCE instance) noexcept;
  MessageForm(const MessageForm&) = delete;
  MessageForm& operator=(const MessageForm&) = delete;
  ~MessageForm() override;

  // The MessageWindow port.
  void EnsureLoaded() override;
  MessageList& List() override { return list_; }
  WindowHandle Handle() const override;
  std::u16string Caption() const override;
  void SetCaption(const std::u16string& caption) override;
  float Top() const override;
  float Left() const override;
  void SetTop(float twips) override;
  void SetLeft(float twips) override;
  void Show() override;
  void Hide() override;
  bool IsVisible() const override;
  bool IsLoaded() const override { return hwnd_ != nullptr; }
  // Destroys the native window (on its own thread only); this object stays.
  void Close() noexcept override;
  // Disarms the native window (its procedure no longer reaches this object) and forgets it.
  void AbandonToSystem() noexcept override;

  // What the menu commands and the tests work with.
  ListBoxList& listBox() { return list_; }
  HWND hwnd() const { return hwnd_; }
  const LayoutMargins& margins() const { return margins_; }
  const TwipScale& scale() const { return scale_; }
  HMENU formMenu() const { return menu_.form(); }
  // Replaces the commands that the menu and keys run (the tests use this to watch them).
  void ReplaceMenuCommands(std::unique_ptr<MenuCommandRunner> commands);
  // Replaces where the window's DPI is read after WM_DPICHANGED_AFTERPARENT or a change of
  // parent (the tests' seam: Wine sends no DPI messages and its GetDpiForWindow never changes).
  void ReplaceDpiQuery(std::function<int(HWND)> query) { dpi_query_ = std::move(query); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Registers the window class once per process (message_form_class.cpp).
  static void RegisterWindowClass(HINSTANCE instance);
  static MessageForm* FromHwnd(HWND hwnd);

  // The frame.
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  void OnSize(UINT state);
  void OnCommand(WPARAM wParam);
  void OnPaint();
  void OnDestroy();
  void OnNcDestroy();
  void LoadStep();
  void LayoutStep();

  // The list's mouse and keys (message_form_input.cpp).
  bool OnListInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  bool OnListKeyDown(WPARAM key);
  void OnListRightButtonUp(LPARAM position);
  void OpenMenuAt(POINT screen);
  void OpenMenuAtCurrentLine();
  void RunCommand(MenuItem item);
  void ShowMenuFailure(MenuItem item, const std::u16string& reason, int number);
  MenuCommandRunner& Commands();

  // The find bar (message_form_find.cpp).
  void OpenFind();
  void Find(FindStep step, bool fromFound);
  void OnFindTextChanged() override;
  void OnFindStep(FindStep step) override;
  void OnFindClose() override;
  // The height the open bar takes from the list, laid out below it; 0 while it is closed.
  int PlaceFindBar(int listWidth, int listHeight);

  // Following the DPI (message_form_dpi.cpp).
  bool OnDpiMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDpiChanged(WPARAM wParam, const RECT* suggested);
  void ForgetNativeWindowDpi() noexcept;
  void FollowWindowDpi();
  void AdoptDpi(int dpi, const RECT* suggested);
  FrameSize MeasureFrame() const;
  float TwipsAt(const TwipScale& scale, const std::optional<float>& kept, int pixels) const;

  HWND Require() const;
  POINT Position() const;
  void MoveTo(POINT position);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  bool margins_captured_ = false;
  TwipScale scale_{96};  // the window's DPI
  int system_dpi_ = 96;
  std::function<int(HWND)> dpi_query_;
  DpiListFont list_font_;
  bool adopting_dpi_ = false;
  LayoutMargins margins_;
  LayoutMargins loaded_margins_;
  FrameSize frame_at_load_;
  std::optional<float> kept_top_;  // the twips the client set, in the parent or on the screen
  std::optional<float> kept_left_;
  ListBoxList list_;
  FindBar find_bar_;
  LocaleTextFolding folding_;
  PopupMenu menu_;
  std::unique_ptr<MenuCommandRunner> commands_;
  bool command_running_ = false;
  bool short_of_memory_ = false;  // the last creation failed for lack of memory
  bool close_pending_ = false;
};

}  // namespace sirel::win32
