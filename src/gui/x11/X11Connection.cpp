#include "gui/x11/X11Connection.h"

#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11EventSink.h"

#include <cstring>
#include <new>

namespace {

// Shared memory needs the server on this machine: a connection to a server
// elsewhere (ssh forwarding included) may report the extension but cannot
// attach a segment.
bool IsLocalDisplay(Display* display)
{
    const char* name = DisplayString(display);
    if (!name)
        return false;
    return name[0] == ':' || std::strncmp(name, "unix:", 5) == 0;
}

}   // namespace

X11Connection& X11Connection::Shared()
{
    // Never destroyed: a host that exits with an editor still attached runs
    // this library's static destructors first and calls `removed` after.
    // Closed connections hold no memory, so nothing leaks.
    alignas(X11Connection) static unsigned char storage[sizeof(X11Connection)];
    static X11Connection* connection = new (storage) X11Connection();
    return *connection;
}

X11Connection::~X11Connection()
{
    if (display)
        XCloseDisplay(display);
}

bool X11Connection::Acquire()
{
    if (!display) {
        display = XOpenDisplay(nullptr);
        if (!display)
            return false;
        int eventBase = 0;
        int errorBase = 0;
        sharedMemory = XShmQueryExtension(display) && IsLocalDisplay(display);
        fixes = XFixesQueryExtension(display, &eventBase, &errorBase);
        blankCursor = 0;
    }
    ++users;
    return true;
}

void X11Connection::Release()
{
    if (users > 0)
        --users;
    CloseIfUnused();
}

int X11Connection::Fd() const
{
    return display ? ConnectionNumber(display) : -1;
}

void X11Connection::CloseIfUnused()
{
    // Never under a running dispatch: it still reads from the connection.
    if (!display || users > 0 || watches > 0 || dispatching > 0)
        return;
    {
        X11ErrorTrap trap(display);
        if (blankCursor)
            XFreeCursor(display, blankCursor);
    }
    blankCursor = 0;
    XCloseDisplay(display);
    display = nullptr;
    sinks.clear();
}

void X11Connection::Register(Window window, X11EventSink* sink)
{
    sinks[window] = sink;
}

void X11Connection::Unregister(Window window)
{
    sinks.erase(window);
}

void X11Connection::Dispatch()
{
    // Hosts call this from their loop thousands of times a second at idle:
    // with nothing read yet and nothing on the socket, not one request (and
    // so no round trip of the error trap) goes to the server.
    if (!display || XEventsQueued(display, QueuedAfterReading) == 0)
        return;
    EnterDispatch();
    {
        X11ErrorTrap trap(display);
        DrainQueue();
    }
    LeaveDispatch();
}

void X11Connection::LeaveDispatch()
{
    if (dispatching > 0)
        --dispatching;
    CloseIfUnused();
}

void X11Connection::DrainQueue()
{
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MotionNotify) {
            // Only the latest position of a run of moves matters.
            XEvent next;
            while (XEventsQueued(display, QueuedAlready) > 0) {
                XPeekEvent(display, &next);
                if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window)
                    break;
                XNextEvent(display, &event);
            }
        } else if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            continue;
        }
        Route(event);
    }
}

bool X11Connection::Route(XEvent& event)
{
    const auto it = sinks.find(event.xany.window);
    if (it == sinks.end())
        return false;
    it->second->HandleEvent(event);
    return true;
}

Cursor X11Connection::BlankCursor()
{
    if (blankCursor || !display)
        return blankCursor;
    X11ErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    static const char kNoBits[8] = {};
    const Pixmap empty = XCreateBitmapFromData(display, root, kNoBits, 8, 8);
    XColor black;
    std::memset(&black, 0, sizeof black);
    blankCursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return blankCursor;
}

void X11Connection::OnFdReadable(int)
{
    Dispatch();
}

void X11Connection::OnFdReleased(int)
{
    if (watches > 0)
        --watches;
    CloseIfUnused();
}
