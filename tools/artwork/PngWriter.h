#pragma once

#include <cairo.h>
#include <string>

// Writes a cairo ARGB32 surface as an 8-bit RGBA PNG with straight alpha.
// Fixed settings and no time chunk keep the bytes identical run to run.
class PngWriter {
public:
    static bool Write(cairo_surface_t* surface, const std::string& path);
};
