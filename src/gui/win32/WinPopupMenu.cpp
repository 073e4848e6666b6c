#include "gui/win32/WinPopupMenu.h"

#include "gui/MenuNumbering.h"
#include "gui/PopupMenuItem.h"

HMENU WinPopupMenu::Build(const MenuNumbering& numbering, int32_t menuIdx)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    for (const MenuNumbering::Item& item : numbering.ItemsOf(menuIdx)) {
        if (item.flags & kMenuItemSeparator) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (item.submenu >= 0) {
            if (HMENU sub = Build(numbering, item.submenu))
                AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.label.c_str());
            continue;
        }
        UINT flags = MF_STRING;
        if (item.flags & kMenuItemGrayed)
            flags |= MF_GRAYED;
        if (item.flags & kMenuItemDisabled)
            flags |= MF_DISABLED;
        if (item.flags & kMenuItemChecked)
            flags |= MF_CHECKED;
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(item.id), item.label.c_str());
    }
    return menu;
}

int32_t WinPopupMenu::Track(HWND owner, const MenuNumbering& numbering, int32_t x, int32_t y)
{
    if (!owner || numbering.MenuCount() == 0)
        return -1;
    HMENU menu = Build(numbering, 0);
    if (!menu)
        return -1;
    POINT at = {x, y};
    ClientToScreen(owner, &at);
    int32_t id = -1;
    // The choice arrives as a WM_COMMAND posted to the owner.
    if (TrackPopupMenu(menu, TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr)) {
        MSG msg;
        if (PeekMessageA(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(msg.wParam) == 0)
            id = LOWORD(msg.wParam);
    }
    DestroyMenu(menu);
    return id;
}
