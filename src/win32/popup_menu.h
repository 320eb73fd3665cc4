// The message window's pop-up menu mnuForm, built from the design table in window/menu.h: a
// root "&Form" whose pop-up holds the seven items in order, with no separators. Opened with the
// platform's default flags (left edge at the point, items chosen with the left button) and
// returning the chosen item, so that its command runs before the caller returns.
#pragma once

#include <windows.h>

#include <optional>

#include "win32/unique_resource.h"
#include "window/menu.h"

namespace sirel::win32 {

class PopupMenu {
 public:
  PopupMenu() = default;
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;
  ~PopupMenu() { Destroy(); }

  // Builds the menu tree; false when the platform refuses.
  bool Build();
  // Destroys the menu; while it is open, ends it and destroys it when Track() returns.
  void Destroy();

  // The pop-up holding the seven items (mnuForm).
  HMENU form() const { return form_; }

  // Opens mnuForm at a screen point for owner and waits for the user: the chosen item, or
  // nothing when the menu was dismissed.
  std::optional<MenuItem> Track(HWND owner, POINT screen);

  // The command identifier of an item, and back.
  static UINT CommandId(MenuItem item);
  static std::optional<MenuItem> ItemOf(UINT commandId);

 private:
  UniqueMenu root_;
  HMENU form_ = nullptr;  // owned by root_
  bool tracking_ = false;
  bool destroy_when_closed_ = false;
};

}  // namespace sirel::win32
