#pragma once

#include "gui/x11/XlibHeaders.h"

// The client half of the XEmbed protocol for the editor's top window.
// Embedders that speak it read the window's _XEMBED_INFO before they show
// it (and refuse a window without one), then tell it that it is embedded,
// whether it has the focus and whether their top-level window is active.
// Hosts that do not speak it send nothing; the window maps itself for them
// all the same, which the flag it announces asks for anyway.
class XEmbedClient {
public:
    static constexpr long kVersion = 0;
    static constexpr long kFlagMapped = 1;

    // What the embedder sends (the protocol's message numbers).
    enum Message : long {
        kEmbeddedNotify = 0,
        kWindowActivate = 1,
        kWindowDeactivate = 2,
        kRequestFocus = 3,
        kFocusIn = 4,
        kFocusOut = 5,
    };

    // Puts the property on `window` before it is mapped; false when the
    // server refused (the caller's error trap holds the error).
    bool Announce(Display* display, Window window);
    // Takes one event; false when it is no message of the protocol.
    bool Handle(const XEvent& event);
    // The window left its embedder (destroyed, or moved elsewhere).
    void Reset();

    bool Embedded() const { return embedder != 0; }
    Window Embedder() const { return embedder; }
    long Version() const { return version; }
    bool Focused() const { return focused; }
    bool Active() const { return active; }

private:
    Atom xembed = 0;
    Window embedder = 0;
    long version = 0;
    bool focused = false;
    bool active = false;
};
