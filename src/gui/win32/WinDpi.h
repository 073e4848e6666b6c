#pragma once

#include "gui/DisplayScale.h"
#include "gui/win32/WinHeaders.h"

#include <cstdint>

// The resolution Windows draws a window at, 96 being 100 %. Windows 10 (1607
// and later) knows it per window and monitor; older systems, and Wine
// versions without it, only know the screen's, which serves then.
class WinDpi {
public:
    // Sent to a top-level window moved to a monitor of another resolution,
    // and to its children after their parent took the change.
    static constexpr UINT kChanged = 0x02E0;
    static constexpr UINT kChangedAfterParent = 0x02E3;

    // The window's resolution (the screen's for no window); 96 when nothing
    // answers.
    static uint32_t ForWindow(HWND window);
    static DisplayScale ScaleOf(HWND window) { return DisplayScale::FromDpi(ForWindow(window)); }
    // Whether this system answers per window.
    static bool KnowsWindowDpi();
};
