#include "gui/x11/XEmbedClient.h"

#include <algorithm>

bool XEmbedClient::Announce(Display* display, Window window)
{
    Reset();
    xembed = XInternAtom(display, "_XEMBED", False);
    const Atom info = XInternAtom(display, "_XEMBED_INFO", False);
    if (!xembed || !info)
        return false;
    // Format 32 data is passed as longs whatever their width.
    const long data[2] = {kVersion, kFlagMapped};
    XChangeProperty(display, window, info, info, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(data), 2);
    return true;
}

bool XEmbedClient::Handle(const XEvent& event)
{
    if (event.type != ClientMessage || !xembed || event.xclient.message_type != xembed || event.xclient.format != 32)
        return false;
    const long* l = event.xclient.data.l;
    switch (l[1]) {
    case kEmbeddedNotify:
        embedder = static_cast<Window>(l[3]);
        version = std::min(std::max(l[4], 0L), kVersion);
        break;
    case kWindowActivate: active = true; break;
    case kWindowDeactivate: active = false; break;
    case kFocusIn:
        // The embedder passes the keys on to this window while it has the
        // focus; the editor takes them as it takes those under the pointer.
        focused = true;
        break;
    case kFocusOut: focused = false; break;
    default:
        // Modality, accelerators and the rest of the focus chain: the
        // editor has none of them.
        break;
    }
    return true;
}

void XEmbedClient::Reset()
{
    embedder = 0;
    version = 0;
    focused = false;
    active = false;
}
