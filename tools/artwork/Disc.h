#pragma once

#include <cairo.h>

// A circle, for SoftShadow::Cast or as a path of its own.
struct Disc {
    double cx, cy, r;

    // SoftShadow's tracer: `user` is a Disc.
    static void Trace(cairo_t* cr, const void* user)
    {
        const Disc* d = static_cast<const Disc*>(user);
        cairo_new_path(cr);
        cairo_arc(cr, d->cx, d->cy, d->r, 0.0, 2.0 * 3.14159265358979323846);
    }
};
