#pragma once

#include "gui/PopupMenuItem.h"

#include <cstdint>
#include <memory>
#include <vector>

// A menu handed to the window host to show. The host sets the chosen item
// index on the menu (or submenu) whose item was picked and returns that menu.
class PopupMenu {
public:
    enum PrefixMode : int32_t { kNoPrefix = 0, kPrefix1 = 1, kPrefix2 = 2, kPrefix3 = 3 };

    PopupMenu() = default;
    explicit PopupMenu(int32_t prefixMode_) : prefixMode(prefixMode_) {}

    void AddItem(const char* text, int32_t flags = 0);
    void AddSeparator();
    // The menu takes the submenu; returns it for filling.
    PopupMenu* AddSubmenu(const char* text, std::unique_ptr<PopupMenu> submenu, int32_t flags = 0);

    int32_t ItemCount() const { return static_cast<int32_t>(items.size()); }
    const PopupMenuItem* ItemAt(int32_t idx) const;
    PopupMenuItem* ItemAt(int32_t idx);

    int32_t PrefixMode() const { return prefixMode; }
    void SetPrefixMode(int32_t mode) { prefixMode = mode; }
    int32_t ChosenIndex() const { return chosenIndex; }
    void SetChosenIndex(int32_t idx) { chosenIndex = idx; }

private:
    int32_t prefixMode = kNoPrefix;
    int32_t chosenIndex = -1;
    std::vector<PopupMenuItem> items;
};
