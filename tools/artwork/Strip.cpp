#include "Strip.h"

#include "ArtScale.h"

Strip::Strip(const StripPlacement& placement)
    : placement_(placement),
      surface_(ArtScale::CreateSurface(CAIRO_FORMAT_ARGB32, placement.width, placement.frameHeight * placement.frames))
{
}

Strip::~Strip()
{
    cairo_surface_destroy(surface_);
}

cairo_t* Strip::OpenFrame(int index) const
{
    cairo_t* cr = cairo_create(surface_);
    cairo_translate(cr, 0.0, static_cast<double>(index) * placement_.frameHeight);
    cairo_rectangle(cr, 0.0, 0.0, placement_.width, placement_.frameHeight);
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
    return cr;
}
