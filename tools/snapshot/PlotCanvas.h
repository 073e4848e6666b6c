#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

// An opaque white Cairo image to draw a plot on, with the few text and line
// helpers the plots share, encoded to PNG in memory at the end.
class PlotCanvas {
public:
    struct Colour {
        double r, g, b, a;
    };

    PlotCanvas(int width, int height);
    ~PlotCanvas();
    PlotCanvas(const PlotCanvas&) = delete;
    PlotCanvas& operator=(const PlotCanvas&) = delete;

    // False when Cairo could not make the image (too little memory).
    bool ok() const;
    cairo_t* cairo() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void use(const Colour& colour) const;
    void line(double x0, double y0, double x1, double y1, const Colour& colour, double lineWidth,
              bool dashed = false) const;
    // Text placed by its alignment point: alignX 0 left, 0.5 centre, 1 right;
    // alignY 0 top, 0.5 middle, 1 bottom of the capital letters.
    void text(const std::string& s, double x, double y, double alignX, double alignY, double size, const Colour& colour,
              bool bold = false) const;
    // The same turned a quarter left, reading upwards.
    void upwardText(const std::string& s, double x, double y, double size, const Colour& colour) const;
    double textWidth(const std::string& s, double size, bool bold = false) const;
    // `size`, or smaller so that the text fits in maxWidth; never below 7.
    double fittedSize(const std::string& s, double size, double maxWidth, bool bold = false) const;

    bool encodePng(std::vector<uint8_t>& png, std::string& error) const;

private:
    void font(double size, bool bold) const;

    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};
