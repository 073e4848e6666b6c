#pragma once

#include "gui/win32/WinHeaders.h"

#include <cstdint>

class MenuNumbering;

// A numbered popup menu shown as a native Windows menu.
class WinPopupMenu {
public:
    // Shows the menu with its top-left corner at (x, y) of the owner's client
    // area and waits for the choice: the chosen item's id, or -1 when the
    // menu was dismissed or could not be shown.
    static int32_t Track(HWND owner, const MenuNumbering& numbering, int32_t x, int32_t y);

    // The native menu of numbered menu `menuIdx` with its submenus; the
    // caller destroys it (submenus go with it).
    static HMENU Build(const MenuNumbering& numbering, int32_t menuIdx);
};
