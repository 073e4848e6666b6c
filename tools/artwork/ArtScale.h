#pragma once

#include <cairo.h>

// The pixel density the strips are drawn at: 1 for the editor's own pixels,
// 2 for screens at double density. Painters draw in panel units whatever the
// density; only code that touches pixels directly asks for it.
class ArtScale {
public:
    static int Factor() { return factor_; }
    static void SetFactor(int factor) { factor_ = factor < 1 ? 1 : factor; }

    // An ARGB32 or A8 surface of w x h panel units, Factor() pixels per unit,
    // that contexts draw on in panel units.
    static cairo_surface_t* CreateSurface(cairo_format_t format, int w, int h)
    {
        cairo_surface_t* s = cairo_image_surface_create(format, w * factor_, h * factor_);
        cairo_surface_set_device_scale(s, factor_, factor_);
        return s;
    }

private:
    static inline int factor_ = 1;
};
