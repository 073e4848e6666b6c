#pragma once

#include <cairo.h>

#include "Strip.h"

// Round knobs whose pointer turns over the strip's frames: frame k shows the
// pointer at the value (k - 1) / (frames - 1) of the full sweep.
class KnobPainter {
public:
    enum Kind {
        kSmall,   // black cap in a turned aluminium ring
        kLarge,   // fluted black cap on a spun aluminium skirt
    };

    static void Paint(const Strip& strip, Kind kind);

    // One knob, centred at (cx, cy), pointer at angleDeg.
    static void PaintKnob(cairo_t* cr, int w, int h, double cx, double cy, double radius, double angleDeg, Kind kind);

private:
    static void PaintSmall(cairo_t* cr, double cx, double cy, double radius, double angleRad);
    static void PaintLarge(cairo_t* cr, double cx, double cy, double radius, double angleRad);
};
