#pragma once

#include "Lettering.h"
#include "Strip.h"

// The gain-reduction meter: bezel, backlit face with a dB scale, glass, and
// a needle that moves from rest (frame 1) to full deflection (last frame).
class MeterPainter {
public:
    explicit MeterPainter(const Lettering& lettering) : lettering_(lettering) {}

    void Paint(const Strip& strip) const;

    // Needle pivot and scale radius in frame coordinates.
    static constexpr double kPivotX = 100.0;
    static constexpr double kPivotY = 124.0;
    static constexpr double kScaleRadius = 86.0;

private:
    void PaintFace(cairo_t* cr, int w, int h) const;
    void PaintScale(cairo_t* cr) const;
    void PaintCover(cairo_t* cr) const;
    static void PaintNeedle(cairo_t* cr, int w, int h, double normalised);
    static void ClipWindow(cairo_t* cr);

    const Lettering& lettering_;
};
