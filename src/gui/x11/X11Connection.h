#pragma once

#include "gui/HostFdWatcher.h"

#include "gui/x11/XlibHeaders.h"

#include <map>

class X11EventSink;

// The plug-in's own connection to the X server, shared by every editor window
// of the process and opened while any window, or any host watch on its file
// descriptor, needs it. It reads the events and hands each to the sink that
// registered the event's window. Everything runs on the host's
// user-interface thread.
//
// It is also the watcher the editors give the host's event loop, so a watch
// the host drops late still finds the connection open and drained.
class X11Connection : public HostFdWatcher {
public:
    static X11Connection& Shared();

    X11Connection() = default;
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // Opens the connection for one more user; false when no X server answers.
    bool Acquire();
    void Release();
    Display* GetDisplay() const { return display; }
    int Fd() const;
    bool IsOpen() const { return display != nullptr; }

    // A host watch on Fd() has begun; OnFdReleased ends it.
    void WatchStarted() { ++watches; }

    void Register(Window window, X11EventSink* sink);
    void Unregister(Window window);
    bool IsRegistered(Window window) const { return sinks.count(window) != 0; }

    // Reads and hands out every event that has arrived, without waiting.
    void Dispatch();
    // Brackets work that reads the connection itself (a menu's own loop):
    // the connection stays open until the outermost one ends.
    void EnterDispatch() { ++dispatching; }
    void LeaveDispatch();
    // Hands one event to its window's sink; false when no sink has the window.
    bool Route(XEvent& event);

    // Extensions the server offers (checked when the connection opens).
    bool HasSharedMemory() const { return sharedMemory; }
    bool HasFixes() const { return fixes; }
    // A cursor without visible pixels, made on first use.
    Cursor BlankCursor();

    // HostFdWatcher
    void OnFdReadable(int fd) override;
    void OnFdReleased(int fd) override;

    int Users() const { return users; }
    int Watches() const { return watches; }

private:
    void CloseIfUnused();
    void DrainQueue();

    Display* display = nullptr;
    int users = 0;
    int watches = 0;
    int dispatching = 0;
    bool sharedMemory = false;
    bool fixes = false;
    Cursor blankCursor = 0;
    std::map<Window, X11EventSink*> sinks;
};
