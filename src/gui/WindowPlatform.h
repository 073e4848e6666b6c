#pragma once

#include "gui/Bounds.h"

#include <cstddef>
#include <cstdint>

class MenuNumbering;
class PIX_IBitmap;
class PIX_SysBitmap;
struct TextStyle;

// What the editor window needs of a window system. A platform window (one
// per operating system) implements it and feeds its translated events into
// WindowHost; all decisions are WindowHost's. Everything is called on the
// thread that created the window. Positions are window pixels unless said
// otherwise.
class WindowPlatform {
public:
    virtual ~WindowPlatform() = default;

    // --- the window ---

    // Creates the editor's child window in `parent` at `placement` (position
    // relative to the parent, and size), gives it the focus and starts a timer
    // that calls WindowHost::OnTimer every timerPeriodMs. Returns the native
    // handle, or none when the window cannot be made.
    virtual void* OpenWindow(void* parent, const Bounds& placement, int32_t timerPeriodMs) = 0;
    // Stops the timer and destroys the window.
    virtual void CloseWindow() = 0;
    // Position relative to the parent and size of the open window, so that a
    // reopened window takes its place.
    virtual bool WindowPlacement(Bounds& /*placement*/) const { return false; }
    // Grows the open window by (dw, dh); the host windows around it too when
    // growParents is set.
    virtual void ResizeWindowBy(int32_t /*dw*/, int32_t /*dh*/, bool /*growParents*/) {}
    virtual const char* BackendName() const = 0;

    // --- painting ---

    // Marks a rectangle for the next paint / takes one out of it. A paint
    // calls WindowHost::OnPaint with the marked area.
    virtual void Invalidate(const Bounds& rect) = 0;
    virtual void Validate(const Bounds& rect) = 0;
    // Paints what is marked now, before returning.
    virtual void UpdateNow() = 0;
    // Copies `rect` of the drawing surface to the same place on the screen.
    virtual bool Present(const PIX_SysBitmap& surface, const Bounds& rect) = 0;

    // --- input ---

    virtual void FocusWindow() = 0;
    // The mouse capture: moves and releases outside the window still reach it.
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual bool HoldsMouse() const = 0;
    // Where the mouse is now.
    virtual bool CursorPosition(int32_t& x, int32_t& y) const = 0;
    // Asks for one OnMouseLeave when the mouse leaves the window, and one
    // OnMouseHover when it rests, if `hover`.
    virtual void TrackMouseLeave(bool hover) = 0;

    // Cursor hiding for fine drags; the position is in screen pixels.
    virtual bool CursorScreenPosition(int32_t& /*x*/, int32_t& /*y*/) const { return false; }
    virtual void SetCursorScreenPosition(int32_t /*x*/, int32_t /*y*/) {}
    virtual void ShowCursor(bool /*show*/) {}

    // --- value entry box ---

    // A single-line box over `area` showing `text` all selected, aligned and
    // coloured by the style's alignment and entry colours, its font made from
    // the style, taking at most maxLength characters, with the focus. The
    // box reports to WindowHost's OnTextEntry* operations: focus changes after
    // this initial focus, key presses (before the box acts on them), typed
    // characters (dropped when refused), and a command that ends the entry.
    virtual bool CreateTextEntry(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength) = 0;
    // The box's text, cut to size - 1 characters and terminated.
    virtual void TextEntryText(char* out, size_t size) const = 0;
    virtual void DestroyTextEntry() = 0;

    // --- popup menus ---

    // Shows the numbered menus with the top-left corner at (x, y) and waits
    // for the choice: the chosen item's id, or -1 when dismissed or failed.
    virtual int32_t TrackNativeMenu(const MenuNumbering& menu, int32_t x, int32_t y) = 0;

    // --- tooltips, used only when the editor enables them ---

    virtual bool CreateTooltips() { return false; }
    virtual void DestroyTooltips() {}
    virtual void ShowTooltip(const char* /*text*/) {}
    virtual void HideTooltip() {}

    // --- resources ---

    // A new bitmap from the module's own resources, owned by the caller, or
    // none to fall back on the images built into the library.
    virtual PIX_IBitmap* LoadImageResource(int32_t /*id*/, const char* /*fileName*/) { return nullptr; }
};
