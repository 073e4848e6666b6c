#pragma once

#include "Rgb.h"
#include "Strip.h"

// A jewel pilot lamp in a chrome bezel: frame 1 dark, frame 2 lit.
class LampPainter {
public:
    static void Paint(const Strip& strip, const Rgb& glass, const Rgb& glow, double bezelRadius);

private:
    static void PaintFrame(cairo_t* cr, int w, int h, double r, const Rgb& glass, const Rgb& glow, bool lit);
};
