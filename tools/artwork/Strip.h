#pragma once

#include <cairo.h>

#include "EditorStrips.h"

// An RGBA image holding equally sized frames stacked top to bottom.
class Strip {
public:
    explicit Strip(const StripPlacement& placement);
    ~Strip();
    Strip(const Strip&) = delete;
    Strip& operator=(const Strip&) = delete;

    // A context whose origin is the top-left of frame `index` (0-based) and
    // which cannot paint outside that frame. The caller destroys it.
    cairo_t* OpenFrame(int index) const;

    cairo_surface_t* Surface() const { return surface_; }
    const StripPlacement& Placement() const { return placement_; }
    int Width() const { return placement_.width; }
    int FrameHeight() const { return placement_.frameHeight; }
    int Frames() const { return placement_.frames; }

private:
    StripPlacement placement_;
    cairo_surface_t* surface_;
};
