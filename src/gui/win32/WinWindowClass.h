#pragma once

#include "gui/win32/WinHeaders.h"

#include <cstdint>

// The editor's window class "TidepullEditorClass", registered while at least
// one editor window of the module is open. User-interface thread only.
class WinWindowClass {
public:
    static const char* const kName;

    // Registers the class when no window holds it yet, and counts the window.
    // False when the class cannot be registered (nothing is counted then).
    static bool Acquire(HINSTANCE module, WNDPROC procedure);
    // Uncounts a window; the last one unregisters the class.
    static void Release(HINSTANCE module);
    static int32_t OpenCount();
};
