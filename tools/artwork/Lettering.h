#pragma once

#include <cairo.h>

#include "FontBook.h"
#include "Rgb.h"

// How a piece of text is set: face, size in pixels, extra space between
// letters in pixels, and horizontal scale (below 1 condenses).
struct TextLook {
    FontBook::Face face;
    double size;
    double tracking;
    double condense;
};

// Sets text with the panel's conventions: tracked capitals, engraved ink,
// and lettering that follows a circle.
class Lettering {
public:
    enum Align { kLeft, kCenter, kRight };

    explicit Lettering(const FontBook& fonts) : fonts_(fonts) {}

    double Width(cairo_t* cr, const char* utf8, const TextLook& look) const;

    void Draw(cairo_t* cr, double x, double baseline, const char* utf8, const TextLook& look, Align align,
              const Rgb& ink, double alpha = 1.0) const;

    // Ink cut into the surface: a faint light edge below the letters.
    void Engrave(cairo_t* cr, double x, double baseline, const char* utf8, const TextLook& look, Align align,
                 const Rgb& ink, double highlight = 0.55) const;

    // Letters standing on a circle of `radius` around (cx, cy), centred on
    // `angleDeg` (clockwise from twelve o'clock), reading clockwise.
    void DrawOnArc(cairo_t* cr, double cx, double cy, double radius, double angleDeg, const char* utf8,
                   const TextLook& look, const Rgb& ink, double highlight) const;

    // Letters hanging below a circle (their tops towards the centre),
    // centred on `angleDeg`, reading left to right along the bottom.
    void DrawUnderArc(cairo_t* cr, double cx, double cy, double radius, double angleDeg, const char* utf8,
                      const TextLook& look, const Rgb& ink, double highlight) const;

private:
    void Select(cairo_t* cr, const TextLook& look) const;
    void Run(cairo_t* cr, double x, double baseline, const char* utf8, const TextLook& look) const;

    const FontBook& fonts_;
};
