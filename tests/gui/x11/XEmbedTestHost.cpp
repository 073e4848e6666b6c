#include "XEmbedTestHost.h"

XEmbedTestHost::XEmbedTestHost() : X11TestHost(true)
{
    xembed = Ok() ? XInternAtom(GetDisplay(), "_XEMBED", False) : 0;
    xembedInfo = Ok() ? XInternAtom(GetDisplay(), "_XEMBED_INFO", False) : 0;
}

bool XEmbedTestHost::Embed(std::string& why)
{
    Display* d = GetDisplay();
    XSync(d, False);
    const std::vector<Window> children = ChildrenOf(Parent());
    if (children.empty()) {
        why = "no window in the parent";
        return false;
    }
    client = children.back();

    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(d, client, xembedInfo, 0, 2, False, xembedInfo, &type, &format, &count, &after, &data);
    if (status != Success || type != xembedInfo || format != 32 || count < 2 || !data) {
        if (data)
            XFree(data);
        why = "XGetWindowProperty for _XEMBED_INFO failed";
        return false;
    }
    const long* info = reinterpret_cast<const long*>(data);
    clientVersion = info[0];
    clientFlags = info[1];
    XFree(data);

    // The embedder speaks version 0 too: the lower of the two.
    Send(kEmbeddedNotify, 0, static_cast<long>(Parent()), 0);
    if (clientFlags & kMappedFlag)
        XMapWindow(d, client);
    else
        XUnmapWindow(d, client);
    XSync(d, False);
    return true;
}

void XEmbedTestHost::Send(long message, long detail, long data1, long data2)
{
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = client;
    e.xclient.message_type = xembed;
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = message;
    e.xclient.data.l[2] = detail;
    e.xclient.data.l[3] = data1;
    e.xclient.data.l[4] = data2;
    XSendEvent(GetDisplay(), client, False, NoEventMask, &e);
    XFlush(GetDisplay());
}
