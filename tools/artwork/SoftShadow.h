#pragma once

#include <cairo.h>

// A blurred silhouette painted under a shape. The caller traces the shape
// (as a path, in the coordinates of `cr`) in the callback.
class SoftShadow {
public:
    using Tracer = void (*)(cairo_t* cr, const void* user);

    // Paints the silhouette shifted by (dx, dy), box-blurred with `radius`
    // pixels (three passes), in black at `alpha`, over the area (0, 0, w, h)
    // of `cr`'s user space.
    static void Cast(cairo_t* cr, int w, int h, Tracer trace, const void* user, double dx, double dy, int radius,
                     double alpha);

    // Blurs the alpha of an A8 surface in place.
    static void BlurAlpha(cairo_surface_t* a8, int radius);
};
