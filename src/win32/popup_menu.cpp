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

void PopupMenu::Destroy() {
  root_.reset();
  form_ = nullptr;
}

std::optional<MenuItem> PopupMenu::Track(HWND owner, POINT screen) const {
  if (form_ == nullptr) return std::nullopt;
  const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD;
  const BOOL chosen = TrackPopupMenu(form_, flags, screen.x, screen.y, 0, owner, nullptr);
  return ItemOf(static_cast<UINT>(chosen));
}

}  // namespace sirel::win32
