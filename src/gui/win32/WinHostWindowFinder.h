#pragma once

#include "gui/win32/WinHeaders.h"

#include <string>

// Finds the host's main window, which owns the editor's message boxes: the
// topmost ancestor of the window the editor was opened in, or, with the
// editor closed, the first top-level window of this process whose class is
// the one remembered from such an ancestor.
class WinHostWindowFinder {
public:
    HWND MainWindow(HWND parent);
    const std::string& ClassName() const { return className; }

private:
    HWND mainWindow = nullptr;
    std::string className;
    DWORD processId = 0;
};
