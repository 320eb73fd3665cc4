#include "win32/popup_menu.h"

#include "win32/text_conversion.h"

#include <string>
#include <utility>

namespace sirel::win32 {

namespace {

constexpr UINT kFirstCommandId = 100;

}  // namespace

UINT PopupMenu::CommandId(MenuItem item) {
  return kFirstCommandId + static_cast<UINT>(item);
}

std::optional<MenuItem> PopupMenu::ItemOf(UINT commandId) {
  for (const MenuItemDesign& design : kMenuItems) {
    if (CommandId(design.item) == commandId) return design.item;
  }
  return std::nullopt;
}

bool PopupMenu::Build() {
  Destroy();
  // Built in holders: on any refusal, whatever was made is destroyed and nothing is kept.
  UniqueMenu root(CreateMenu());
  UniqueMenu form(CreatePopupMenu());
  if (!root || !form) return false;
  for (const MenuItemDesign& design : kMenuItems) {
    if (!AppendMenuW(form.get(), MF_STRING, CommandId(design.item), ToWide(design.caption).c_str())) {
      return false;
    }
  }
  if (!AppendMenuW(root.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(form.get()),
                   ToWide(kMenuRootCaption).c_str())) {
    return false;
  }
  // The root owns mnuForm from here on; destroying the root destroys both.
  form_ = form.release();
  root_ = std::move(root);
  return true;
}

// While the menu is open (its window destroyed under it, at the end of the apartment), the
// menu is ended and destroyed once TrackPopupMenu has returned, never under its loop.
void PopupMenu::Destroy() {
  if (tracking_) {
    destroy_when_closed_ = true;
    EndMenu();
    return;
  }
  root_.reset();
  form_ = nullptr;
}

std::optional<MenuItem> PopupMenu::Track(HWND owner, POINT screen) {
  if (form_ == nullptr || tracking_) return std::nullopt;
  const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD;
  tracking_ = true;
  const BOOL chosen = TrackPopupMenu(form_, flags, screen.x, screen.y, 0, owner, nullptr);
  tracking_ = false;
  if (destroy_when_closed_) {
    destroy_when_closed_ = false;
    Destroy();
  }
  return ItemOf(static_cast<UINT>(chosen));
}

}  // namespace sirel::win32
