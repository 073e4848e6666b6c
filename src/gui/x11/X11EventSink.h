#pragma once

#include "gui/x11/XlibHeaders.h"

// Takes the events of the windows it registered with the X connection.
class X11EventSink {
public:
    virtual void HandleEvent(XEvent& event) = 0;

protected:
    ~X11EventSink() = default;
};
