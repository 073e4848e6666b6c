#pragma once

#include "gui/win32/WinHeaders.h"

// The editor window's tooltip: one common-controls tooltip window with the
// editor window as its only tool.
class WinTooltip {
public:
    WinTooltip() = default;
    ~WinTooltip() { Destroy(); }
    WinTooltip(const WinTooltip&) = delete;
    WinTooltip& operator=(const WinTooltip&) = delete;

    bool Create(HWND owner, HINSTANCE module);
    void Destroy();
    void Show(const char* text);
    void Hide();
    HWND Window() const { return tip; }

private:
    HWND tip = nullptr;
    HWND tool = nullptr;
};
