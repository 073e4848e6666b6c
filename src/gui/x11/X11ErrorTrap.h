#pragma once

#include "gui/x11/XlibHeaders.h"

// Keeps X protocol errors on the plug-in's own connection away from the
// host: Xlib's default handler ends the process, and a host that destroys
// its window before telling the plug-in makes every request on the embedded
// window fail. While a trap lives, errors on that connection are counted and
// dropped; errors on any other connection (the host's own) go to the handler
// that was installed before. The destructor syncs, so that every error of
// the trapped requests has arrived, and puts the previous handler back.
// Traps nest; only the outermost one installs and restores.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();

    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to handle everything sent so far; true when none
    // of the requests sent while this trap lives has failed.
    bool Sync();
    int ErrorCount() const;
    // Error code of the last dropped error, 0 for none.
    int LastErrorCode() const { return lastErrorCode; }

    // Errors dropped by all traps since the process began.
    static long TotalErrors() { return totalErrors; }

private:
    static int Handler(Display* display, XErrorEvent* error);

    Display* display;
    long errorsAtStart;

    static XErrorHandler previous;
    static Display* trapped;
    static int depth;
    static long totalErrors;
    static int lastErrorCode;
};
