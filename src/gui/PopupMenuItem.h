#pragma once

#include <cstdint>
#include <memory>
#include <string>

class PopupMenu;

enum PopupMenuItemFlags : int32_t {
    kMenuItemGrayed = 1,
    kMenuItemDisabled = 2,
    kMenuItemChecked = 4,
    kMenuItemSeparator = 8,
};

// One entry of a popup menu: a text, optionally a submenu it opens.
class PopupMenuItem {
public:
    PopupMenuItem(const char* text, int32_t flags, std::unique_ptr<PopupMenu> submenu = nullptr);
    ~PopupMenuItem();
    PopupMenuItem(PopupMenuItem&&) noexcept;
    PopupMenuItem& operator=(PopupMenuItem&&) noexcept;

    const char* Text() const { return text.c_str(); }
    int32_t Flags() const { return flags; }
    void SetFlags(int32_t f) { flags = f; }
    PopupMenu* Submenu() const { return submenu.get(); }

private:
    std::string text;
    std::unique_ptr<PopupMenu> submenu;
    int32_t flags;
};
