#pragma once

#include "gui/ArgbColor.h"
#include "gui/win32/WinHeaders.h"

// The colour chooser.
class WinColorDialog {
public:
    static constexpr int kCustomColors = 16;

    // Starts at the colour's red, green and blue; on OK they take the choice
    // (alpha stays) and the result is true. `customColors` holds
    // kCustomColors entries the chooser keeps between calls.
    static bool Ask(HWND owner, ArgbColor& colour, const char* prompt, COLORREF* customColors);
};
