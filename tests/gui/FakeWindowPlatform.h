#pragma once

#include "gui/WindowPlatform.h"

#include <string>
#include <vector>

class WindowHost;

// A window system that writes down every call the window layer makes on it,
// in order, as short texts ("capture", "invalidate 0,0,10,10", ...). A paint
// requested with UpdateNow is delivered at once to the attached host.
class FakeWindowPlatform : public WindowPlatform {
public:
    void* OpenWindow(void* parent, const Bounds& placement, int32_t timerPeriodMs) override;
    void CloseWindow() override;
    bool WindowPlacement(Bounds& placement) const override;
    void ResizeWindowBy(int32_t dw, int32_t dh, bool growParents) override;
    const char* BackendName() const override { return "Fake"; }

    void Invalidate(const Bounds& rect) override;
    void Validate(const Bounds& rect) override;
    void UpdateNow() override;
    bool Present(const PIX_SysBitmap& surface, const Bounds& rect) override;

    void FocusWindow() override { Log("focus"); }
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HoldsMouse() const override { return holdsMouse; }
    bool CursorPosition(int32_t& x, int32_t& y) const override;
    void TrackMouseLeave(bool hover) override { Log(hover ? "track hover" : "track"); }

    bool CursorScreenPosition(int32_t& x, int32_t& y) const override;
    void SetCursorScreenPosition(int32_t x, int32_t y) override;
    void ShowCursor(bool show) override { Log(show ? "cursor show" : "cursor hide"); }

    bool CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength) override;
    void TextEntryText(char* out, size_t size) const override;
    void DestroyTextEntry() override;

    int32_t TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y) override;

    bool CreateTooltips() override;
    void DestroyTooltips() override { Log("tooltips destroy"); }
    void ShowTooltip(const char* text) override { Log(std::string("tooltip '") + text + "'"); }
    void HideTooltip() override { Log("tooltip hide"); }

    // Calls since the last Take, then forgets them.
    std::vector<std::string> Take();
    bool Logged(const std::string& call) const;
    void Log(const std::string& call) { calls.push_back(call); }

    static std::string Text(const Bounds& r);

    WindowHost* host = nullptr;   // receives the paints
    void* nextWindow = reinterpret_cast<void*>(0x1000);
    Bounds placement;   // what WindowPlacement reports for the open window
    bool holdsMouse = false;
    bool entryOpen = false;
    bool entryCreates = true;
    bool tooltipsCreate = true;
    std::string entryText;   // what the user typed into the box
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    int32_t menuChoice = -1;   // id the next menu returns
    int32_t menusShown = 0;
    std::vector<std::vector<std::string>> lastMenuLabels;   // per numbered menu
    std::vector<std::vector<int32_t>> lastMenuIds;
    std::vector<std::vector<int32_t>> lastMenuFlags;

private:
    std::vector<std::string> calls;
    Bounds pending;
    bool windowOpen = false;
};
