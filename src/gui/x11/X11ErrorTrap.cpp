#include "gui/x11/X11ErrorTrap.h"

XErrorHandler X11ErrorTrap::previous = nullptr;
Display* X11ErrorTrap::trapped = nullptr;
int X11ErrorTrap::depth = 0;
long X11ErrorTrap::totalErrors = 0;
int X11ErrorTrap::lastErrorCode = 0;

X11ErrorTrap::X11ErrorTrap(Display* d) : display(d), errorsAtStart(totalErrors)
{
    if (!display)
        return;
    if (depth > 0) {
        // Errors of what the enclosing trap sent belong to it, not to this one.
        XSync(display, False);
        errorsAtStart = totalErrors;
    }
    if (depth++ == 0) {
        trapped = display;
        lastErrorCode = 0;
        previous = XSetErrorHandler(&X11ErrorTrap::Handler);
    }
}

X11ErrorTrap::~X11ErrorTrap()
{
    if (!display)
        return;
    XSync(display, False);
    if (--depth > 0)
        return;
    const XErrorHandler current = XSetErrorHandler(previous);
    if (current != &X11ErrorTrap::Handler) {
        // Someone installed a handler of their own while we were trapping:
        // theirs stays, ours must not come back.
        XSetErrorHandler(current);
    }
    previous = nullptr;
    trapped = nullptr;
}

bool X11ErrorTrap::Sync()
{
    if (display)
        XSync(display, False);
    return ErrorCount() == 0;
}

int X11ErrorTrap::ErrorCount() const
{
    return static_cast<int>(totalErrors - errorsAtStart);
}

int X11ErrorTrap::Handler(Display* d, XErrorEvent* error)
{
    if (d == trapped) {
        ++totalErrors;
        lastErrorCode = error->error_code;
        return 0;
    }
    return previous ? previous(d, error) : 0;
}
