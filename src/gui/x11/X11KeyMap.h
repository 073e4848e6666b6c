#pragma once

#include "gui/x11/XlibHeaders.h"

#include <cstdint>

// X key symbols as the Windows virtual key numbers the window layer reads
// (VirtualKeyMap): letters by their capital, digits and keypad digits, the
// arrows, the editing and function keys.
class X11KeyMap {
public:
    // 0 for a symbol without a virtual key.
    static int32_t VirtualKeyOf(KeySym sym);
};
