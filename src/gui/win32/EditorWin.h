#pragma once

#include "gui/ArgbColor.h"
#include "gui/WindowHost.h"
#include "gui/WindowPlatform.h"
#include "gui/win32/WinHeaders.h"
#include "gui/win32/WinHostWindowFinder.h"
#include "gui/win32/WinTextEntry.h"
#include "gui/win32/WinTooltip.h"

#include <cstdint>
#include <memory>
#include <string>

// The editor in a Windows host: a child window of the host's window, run on
// the host's user-interface thread. Its window procedure only decodes
// messages into WindowHost's events; the Win32 calls the window layer asks
// for are this class's WindowPlatform side. It also offers the host-side
// services a control may want: message boxes, file and colour choosers,
// folders, links and the clipboard.
class EditorWin : public WindowHost, public WindowPlatform {
public:
    // The redraw timer's id.
    static constexpr UINT_PTR kTimerId = 2;

    // `module` owns the window class and the resources; none for the module
    // this code is linked into.
    EditorWin(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate, HINSTANCE module = nullptr);
    ~EditorWin() override;

    // Opens at the resolution of the host's window unless the host gave a
    // scale.
    void* CreateEditorWindow(void* parent) override;

    HINSTANCE Module() const { return module; }
    HWND Window() const { return hwnd; }
    // The open entry box, or none.
    const WinTextEntry* TextEntryBox() const { return entryBox.Window() ? &entryBox : nullptr; }
    HWND TooltipWindow() const { return tooltip.Window(); }

    // Host-side services.
    int32_t ShowMessage(const char* text, const char* caption, uint32_t type);
    void HostFolder(std::string& out) const;
    void PlugFolder(std::string& out) const;
    void DesktopFolder(std::string& out) const;
    void AppDataFolder(std::string& out, bool allUsers) const;
    void SandboxedAppDataFolder(std::string& out) const { AppDataFolder(out, false); }
    void AskForFile(std::string& fileName, int32_t action, std::string& folder, const char* extensions);
    bool AskForColor(ArgbColor& colour, const char* prompt);
    bool OpenLink(const char* url, const char* title, const char* confirmation, const char* failure);
    bool ClipboardText(std::string& out) const;

    // WindowPlatform
    void* OpenWindow(void* parent, const Bounds& placement, int32_t timerPeriodMs) override;
    void CloseWindow() override;
    bool WindowPlacement(Bounds& placement) const override;
    void ResizeWindowBy(int32_t dw, int32_t dh, bool growParents) override;
    const char* BackendName() const override { return "Windows GDI"; }
    void Invalidate(const Bounds& rect) override;
    void Validate(const Bounds& rect) override;
    void UpdateNow() override;
    bool Present(const PIX_SysBitmap& surface, const Bounds& rect) override;
    void FocusWindow() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HoldsMouse() const override;
    bool CursorPosition(int32_t& x, int32_t& y) const override;
    void TrackMouseLeave(bool hover) override;
    bool CursorScreenPosition(int32_t& x, int32_t& y) const override;
    void SetCursorScreenPosition(int32_t x, int32_t y) override;
    void ShowCursor(bool show) override;
    bool CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength) override;
    void TextEntryText(char* out, size_t size) const override;
    void DestroyTextEntry() override;
    int32_t TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y) override;
    bool CreateTooltips() override;
    void DestroyTooltips() override { tooltip.Destroy(); }
    void ShowTooltip(const char* text) override { tooltip.Show(text); }
    void HideTooltip() override { tooltip.Hide(); }
    PIX_IBitmap* LoadImageResource(int32_t id, const char* fileName) override;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Forward(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaintMessage();
    LRESULT OnEntryColours(HDC dc);
    void OnResolutionChanged(uint32_t dpi);

    HINSTANCE module;
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    bool windowAlive = false;
    bool painting = false;
    bool presented = false;
    int32_t timerPeriodMs = 40;
    WinTextEntry entryBox;
    WinTooltip tooltip;
    WinHostWindowFinder hostWindow;
    std::unique_ptr<COLORREF[]> customColors;
};
