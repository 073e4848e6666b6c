#pragma once

#include "gui/Bounds.h"
#include "gui/TextStyle.h"
#include "gui/x11/TextEntryLine.h"
#include "gui/x11/X11EventSink.h"
#include "gui/x11/X11Presenter.h"
#include "pix/PIX_SysBitmap.h"

#include "gui/x11/XlibHeaders.h"

#include <cstddef>
#include <cstdint>
#include <string>

class PIX_CachedFont;
class WindowHost;
class X11Connection;

// The value entry box: a child window over the edited control, drawn with
// the bitmap library's cached-font text. It takes the keyboard focus while
// it is open and hands the window layer what a native box would: Enter and
// Escape first (the layer decides), typed characters for filtering, and
// focus changes after the first one (its own opening focus does not count).
class X11TextEntry final : public X11EventSink {
public:
    X11TextEntry(WindowHost& host, X11Connection& connection, Window parent);
    ~X11TextEntry();
    X11TextEntry(const X11TextEntry&) = delete;
    X11TextEntry& operator=(const X11TextEntry&) = delete;

    // The box over `area` (its right and bottom edges included, as the
    // layer's rectangles are) showing `text` all selected.
    bool Open(const TextStyle& style, const Bounds& area, const char* text, int32_t maxLength);
    const std::string& Text() const { return line.Text(); }
    Window Handle() const { return window; }
    bool HasFocus() const { return focused; }

    void HandleEvent(XEvent& event) override;

private:
    void OnKey(XKeyEvent& key);
    void OnButton(const XButtonEvent& button);
    int32_t TextWidth(size_t count) const;
    // Where the text starts in the box, keeping the caret in view.
    int32_t TextOrigin() const;
    void DrawText(size_t from, size_t to, int32_t x, uint32_t colour);
    void Draw();

    WindowHost& host;
    X11Connection& connection;
    Display* display;
    Window parent;
    Window window = 0;
    Window previousFocus = 0;
    X11Presenter presenter;
    PIX_SysBitmap surface;
    PIX_CachedFont* font = nullptr;
    int32_t alignment = kAlignLeft;
    uint32_t background = 0xFFFFFFFFu;
    uint32_t foreground = 0xFF000000u;
    TextEntryLine line;
    bool focused = false;
    bool openingFocusPending = true;
    mutable int32_t scroll = 0;
};
