#pragma once

#include "X11TestHost.h"

#include <string>

// A host that embeds the view's window the way XEmbed embedders and the
// SDK's own hosting code do: after `attached` it looks for the window the
// plug-in put into its parent, reads the window's _XEMBED_INFO and refuses
// to show a window without one, tells the window it is embedded, and maps
// or unmaps it as the announced flags ask. It can then pass on activation
// and focus.
class XEmbedTestHost : public X11TestHost {
public:
    static constexpr long kEmbeddedNotify = 0;
    static constexpr long kWindowActivate = 1;
    static constexpr long kWindowDeactivate = 2;
    static constexpr long kFocusIn = 4;
    static constexpr long kFocusOut = 5;
    static constexpr long kFocusFirst = 1;
    static constexpr long kMappedFlag = 1;

    XEmbedTestHost();

    // Embeds the newest child of the parent window; false, with the reason,
    // when there is none or it announces no XEmbed support.
    bool Embed(std::string& why);
    Window Client() const { return client; }
    long ClientVersion() const { return clientVersion; }
    long ClientFlags() const { return clientFlags; }

    // One protocol message to the embedded window.
    void Send(long message, long detail = 0, long data1 = 0, long data2 = 0);

private:
    Atom xembed;
    Atom xembedInfo;
    Window client = 0;
    long clientVersion = -1;
    long clientFlags = 0;
};
