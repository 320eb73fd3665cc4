// The design of the message window's pop-up menu mnuForm: its seven items, in order, with their
// names and captions. The character after "&" is the item's access key. Both the Win32 window
// (which builds the menu) and the commands (which run the items) use this one table.
#pragma once

#include <cstddef>

namespace sirel {

enum class MenuItem { Copy, CopyAll, Clear, Delete, Export, Hide, About };

struct MenuItemDesign {
  MenuItem item;
  const char16_t* caption;
};

inline constexpr const char16_t* kMenuRootCaption = u"&Form";  // mnuForm; never shown

inline constexpr MenuItemDesign kMenuItems[] = {
    {MenuItem::Copy, u"&Copy Selected Sirels"},  // mnuCopy
    {MenuItem::CopyAll, u"Copy &All"},  // mnuCopyAll
    {MenuItem::Clear, u"&Clear"},  // mnuClear
    {MenuItem::Delete, u"&Delete Selected Messages"},  // mnuDelete
    {MenuItem::Export, u"&Export To File"},  // mnuExport
    {MenuItem::Hide, u"&Hide"},  // mnuHide
    {MenuItem::About, u"A&bout"},  // mnuAbout
};

inline constexpr std::size_t kMenuItemCount = sizeof(kMenuItems) / sizeof(kMenuItems[0]);

}  // namespace sirel

namespace sirel {

// Runs the command of a chosen menu item on the window that owns the menu. Errors propagate
// (as SirelError) to the window, which reports them to the user.
class MenuCommandRunner {
 public:
  virtual ~MenuCommandRunner() = default;
  virtual void Run(MenuItem item) = 0;
};

}  // namespace sirel
