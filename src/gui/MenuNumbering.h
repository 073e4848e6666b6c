#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PopupMenu;

// How a popup menu and its submenus look to a native menu: every item gets
// an id and its final label. Ids come from one running counter starting at 0:
// a menu reserves one id per item (item i gets first + i) and advances the
// counter before its items are numbered, so a submenu reserves its range when
// its item is met. The chosen id leads back to the menu and item index.
class MenuNumbering {
public:
    struct Item {
        std::string label;   // text with the menu's number prefix; empty for separators
        int32_t id = 0;
        int32_t flags = 0;   // PopupMenuItemFlags
        int32_t submenu = -1;   // index of the item's submenu in this numbering, -1 for none
    };

    explicit MenuNumbering(PopupMenu& top);

    // Menu 0 is the top menu; submenus follow in the order they were numbered.
    int32_t MenuCount() const { return static_cast<int32_t>(menus.size()); }
    const std::vector<Item>& ItemsOf(int32_t menuIdx) const;
    int32_t FirstIdOf(int32_t menuIdx) const;
    PopupMenu* MenuAt(int32_t menuIdx) const;

    // The menu that reserved `id` and the item's index in it, or none for an
    // id outside every range.
    PopupMenu* Resolve(int32_t id, int32_t* index) const;

    // The item text prefixed with its 1-based position by the menu's prefix
    // mode: "%1d: ", "%02d: " or "%03d: ".
    static std::string Label(const PopupMenu& menu, int32_t idx);

private:
    struct Numbered {
        PopupMenu* menu;
        int32_t first;
        std::vector<Item> items;
    };

    int32_t Number(PopupMenu& menu, int32_t depth);

    std::vector<Numbered> menus;
    int32_t counter = 0;
};
