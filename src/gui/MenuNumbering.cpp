#include "gui/MenuNumbering.h"

#include "gui/PopupMenu.h"

#include <cstdio>

namespace {
// Deeper nesting is not numbered; no native menu shows it anyway.
constexpr int32_t kMaxDepth = 32;
const std::vector<MenuNumbering::Item> kNoItems;
}   // namespace

MenuNumbering::MenuNumbering(PopupMenu& top)
{
    Number(top, 0);
}

int32_t MenuNumbering::Number(PopupMenu& menu, int32_t depth)
{
    const int32_t idx = MenuCount();
    const int32_t count = menu.ItemCount();
    menus.push_back(Numbered{&menu, counter, {}});
    counter += count;

    // Built apart and stored afterwards: numbering submenus grows `menus`.
    std::vector<Item> items(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const PopupMenuItem* source = menu.ItemAt(i);
        Item& item = items[static_cast<size_t>(i)];
        item.id = menus[static_cast<size_t>(idx)].first + i;
        item.flags = source->Flags();
        if (!(item.flags & kMenuItemSeparator))
            item.label = Label(menu, i);
        if (source->Submenu() && depth < kMaxDepth)
            item.submenu = Number(*source->Submenu(), depth + 1);
    }
    menus[static_cast<size_t>(idx)].items = std::move(items);
    return idx;
}

const std::vector<MenuNumbering::Item>& MenuNumbering::ItemsOf(int32_t menuIdx) const
{
    if (menuIdx < 0 || menuIdx >= MenuCount())
        return kNoItems;
    return menus[static_cast<size_t>(menuIdx)].items;
}

int32_t MenuNumbering::FirstIdOf(int32_t menuIdx) const
{
    if (menuIdx < 0 || menuIdx >= MenuCount())
        return -1;
    return menus[static_cast<size_t>(menuIdx)].first;
}

PopupMenu* MenuNumbering::MenuAt(int32_t menuIdx) const
{
    if (menuIdx < 0 || menuIdx >= MenuCount())
        return nullptr;
    return menus[static_cast<size_t>(menuIdx)].menu;
}

PopupMenu* MenuNumbering::Resolve(int32_t id, int32_t* index) const
{
    if (index)
        *index = -1;
    if (id < 0)
        return nullptr;
    // In numbering order, the top menu first.
    for (const Numbered& m : menus) {
        const int32_t count = static_cast<int32_t>(m.items.size());
        if (id >= m.first && id < m.first + count) {
            if (index)
                *index = id - m.first;
            return m.menu;
        }
    }
    return nullptr;
}

std::string MenuNumbering::Label(const PopupMenu& menu, int32_t idx)
{
    const PopupMenuItem* item = menu.ItemAt(idx);
    if (!item)
        return std::string();
    const char* pattern = nullptr;
    switch (menu.PrefixMode()) {
    case PopupMenu::kPrefix1: pattern = "%1d: "; break;
    case PopupMenu::kPrefix2: pattern = "%02d: "; break;
    case PopupMenu::kPrefix3: pattern = "%03d: "; break;
    default: return item->Text();
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, pattern, static_cast<int>(idx + 1));
    return prefix + std::string(item->Text());
}
