#include "gui/PopupMenu.h"

void PopupMenu::AddItem(const char* text, int32_t flags)
{
    items.emplace_back(text, flags);
}

void PopupMenu::AddSeparator()
{
    items.emplace_back("", kMenuItemSeparator);
}

PopupMenu* PopupMenu::AddSubmenu(const char* text, std::unique_ptr<PopupMenu> submenu, int32_t flags)
{
    PopupMenu* raw = submenu.get();
    items.emplace_back(text, flags, std::move(submenu));
    return raw;
}

const PopupMenuItem* PopupMenu::ItemAt(int32_t idx) const
{
    if (idx < 0 || idx >= ItemCount())
        return nullptr;
    return &items[static_cast<size_t>(idx)];
}

PopupMenuItem* PopupMenu::ItemAt(int32_t idx)
{
    if (idx < 0 || idx >= ItemCount())
        return nullptr;
    return &items[static_cast<size_t>(idx)];
}
