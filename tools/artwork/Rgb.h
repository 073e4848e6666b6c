#pragma once

#include <cairo.h>

struct Rgb {
    double r, g, b;
};

inline void SetSource(cairo_t* cr, const Rgb& c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

inline void AddStop(cairo_pattern_t* p, double offset, const Rgb& c, double alpha = 1.0)
{
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}
