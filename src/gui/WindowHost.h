#pragma once

#include "gui/Editor.h"
#include "gui/MouseButton.h"
#include "gui/TextEntry.h"

#include <cstdint>

class WindowPlatform;

// The editor as a window shows it, whatever the window system: it turns
// window events into the graphics core's and the controls' input, runs the
// value entry box and popup menus, and redraws on the window's timer. A
// platform window derives from it (or hands it a WindowPlatform) and only
// translates its native events into the On* calls below.
//
// Without a platform it is the headless editor: no window opens, menus are
// dismissed, no entry box opens, and a timer tick draws the dirty area
// straight into the drawing surface.
//
// Everything runs on the window's thread; only the parameter pushes of the
// graphics core come from the audio side.
//
// A window class that is its own WindowPlatform closes its window in its own
// destructor: when this destructor runs, that part of the object is gone.
class WindowHost : public Editor {
public:
    // Sub-notch wheel movements are reported in these units per notch.
    static constexpr int32_t kWheelDelta = 120;

    WindowHost(PlugCore* plug, int32_t width, int32_t height, int32_t frameRate, WindowPlatform* platform);
    ~WindowHost() override;

    // Editor hooks.
    bool PresentRect(const Bounds& rect) override;
    void CancelTextEntry() override;
    void SetEditorSize(int32_t width, int32_t height) override;
    // Also resizes an open window to the new device size.
    bool SetDisplayScale(DisplayScale scale) override;
    const char* BackendName() const override;
    PopupMenu* TrackMenu(PopupMenu& menu, const Bounds& area) override;
    void OpenTextEntry(Control* control, const TextStyle& style, const Bounds& area, const char* initialText,
                       ParamRecord* param) override;
    void* CreateEditorWindow(void* parent) override;
    void DestroyEditorWindow() override;
    void* WindowHandle() const override { return window; }
    void HideCursorForDrag() override;
    void RestoreCursorAfterDrag() override;
    PIX_IBitmap* LoadResourceImage(int32_t id, const char* fileName) override;

    // Window events, in window (device) pixels. Modifiers are the buttons and keys the event reports;
    // the pressed or released button itself is set or cleared here.
    void OnPaint(const Bounds& rect);
    void OnTimer();
    void OnMouseDown(MouseButton button, int32_t x, int32_t y, MouseModifiers mods);
    void OnMouseUp(MouseButton button, int32_t x, int32_t y, MouseModifiers mods);
    // A second left press close in time and place to the first.
    void OnMouseDoubleClick(int32_t x, int32_t y, MouseModifiers mods);
    void OnMouseMove(int32_t x, int32_t y, const MouseModifiers& mods);
    // delta in kWheelDelta units per notch, positive away from the user.
    void OnMouseWheel(int32_t x, int32_t y, const MouseModifiers& mods, int32_t delta);
    void OnMouseHover();
    void OnMouseLeave();
    // False when no control took the key: the window passes it to the host.
    // Key releases always go to the host.
    bool OnKeyDown(int32_t virtualKey);
    void OnCloseRequest() { DestroyEditorWindow(); }

    // Events of the value entry box.
    void OnTextEntryFocus(bool gained);
    // True when the key is taken (Enter, Escape) and must not reach the box.
    bool OnTextEntryKeyDown(int32_t virtualKey);
    // False when the box must drop the character.
    bool OnTextEntryCharacter(int32_t ch);
    void OnTextEntryCommand();
    bool TextEntryWantsReturnKey() const { return entry.WantsReturnKey(); }

    const TextEntry& Entry() const { return entry; }
    // The redraw timer's period: trunc(1000 / frame rate) milliseconds.
    int32_t TimerPeriodMs() const;
    int32_t TooltipIndex() const { return tooltipIndex; }
    bool TooltipShowing() const { return tooltipShowing; }

protected:
    WindowPlatform* Platform() const { return platform; }

private:
    // While the box has the focus the window itself takes no input.
    bool EntryHasFocus() const { return entry.IsOpen() && entry.State() == TextEntryState::Editing; }
    void CloseTextEntry();
    void HideTooltip();
    void InvalidateAll();
    void ResizeOpenWindow(int32_t oldWidth, int32_t oldHeight);

    WindowPlatform* platform;
    void* window = nullptr;
    TextEntry entry;
    bool tooltipShowing = false;
    int32_t tooltipIndex = -1;
};
