#pragma once

#include <cairo.h>

// A window in the panel showing two glowing valves behind glass.
class ValveWindow {
public:
    static void Paint(cairo_t* cr, double x, double y, double w, double h);

private:
    static void PaintValve(cairo_t* cr, double cx, double top, double width, double bottom);
};
