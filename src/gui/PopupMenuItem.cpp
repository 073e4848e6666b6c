#include "gui/PopupMenuItem.h"

#include "gui/PopupMenu.h"

PopupMenuItem::PopupMenuItem(const char* text_, int32_t flags_, std::unique_ptr<PopupMenu> submenu_)
    : text(text_ ? text_ : ""),
      submenu(std::move(submenu_)),
      flags(flags_)
{
}

PopupMenuItem::~PopupMenuItem() = default;
PopupMenuItem::PopupMenuItem(PopupMenuItem&&) noexcept = default;
PopupMenuItem& PopupMenuItem::operator=(PopupMenuItem&&) noexcept = default;
