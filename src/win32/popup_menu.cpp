#include "win32/popup_menu.h"

#include <string>

namespace sirel::win32 {

namespace {

constexpr UINT kFirstCommandId = 100;

std::wstring Wide(const char16_t* text) {
  const std::u16string source(text);
  return std::wstring(source.begin(), source.end());
}

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
  root_ = CreateMenu();
  form_ = CreatePopupMenu();
  if (root_ == nullptr || form_ == nullptr) {
    if (form_ != nullptr) DestroyMenu(form_);
    form_ = nullptr;
    Destroy();
    return false;
  }
  for (const MenuItemDesign& design : kMenuItems) {
    if (!AppendMenuW(form_, MF_STRING, CommandId(design.item), Wide(design.caption).c_str())) {
      DestroyMenu(form_);
      form_ = nullptr;
      Destroy();
      return false;
    }
  }
  // The root owns mnuForm from here on; destroying the root destroys both.
  if (!AppendMenuW(root_, MF_POPUP, reinterpret_cast<UINT_PTR>(form_),
                   Wide(kMenuRootCaption).c_str())) {
    DestroyMenu(form_);
    form_ = nullptr;
    Destroy();
    return false;
  }
  return true;
}

void PopupMenu::Destroy() {
  if (root_ != nullptr) DestroyMenu(root_);
  root_ = nullptr;
  form_ = nullptr;
}

std::optional<MenuItem> PopupMenu::Track(HWND owner, POINT screen) const {
  if (form_ == nullptr) return std::nullopt;
  const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD;
  const BOOL chosen = TrackPopupMenu(form_, flags, screen.x, screen.y, 0, owner, nullptr);
  return ItemOf(static_cast<UINT>(chosen));
}

}  // namespace sirel::win32
