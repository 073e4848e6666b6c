#pragma once

#include "gui/DisplayScale.h"

#include "gui/x11/XlibHeaders.h"

#include <string>

// The display scale a Linux desktop asks of its applications: the X server's
// "Xft.dpi" resource, which desktops set for HiDPI screens (96 is 1.0). The
// resources are those the server held when the connection was opened.
class XftDpiReader {
public:
    // The resource's text, or an empty one when the server has none.
    static std::string DpiText(Display* display);
    // 1.0 without a display or without the resource.
    static DisplayScale ScaleOf(Display* display) { return DisplayScale::FromDpiText(DpiText(display).c_str()); }
};
