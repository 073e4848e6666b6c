#pragma once

#include <cairo.h>

// Small parts shared by the panel and the meter.
class Hardware {
public:
    static void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

    // A slotted chrome screw head; `slotDeg` turns its slot.
    static void Screw(cairo_t* cr, double cx, double cy, double r, double slotDeg, bool phillips);
};
