#include "PlotCanvas.h"

#include <cmath>

namespace {
// DejaVu Sans comes with the build's packages; fontconfig falls back otherwise.
const char* const kFace = "DejaVu Sans";

cairo_status_t appendPng(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}
}   // namespace

PlotCanvas::PlotCanvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_))
{
    cairo_set_source_rgb(cr_, 1.0, 1.0, 1.0);
    cairo_paint(cr_);
}

PlotCanvas::~PlotCanvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

bool PlotCanvas::ok() const
{
    return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS && cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

void PlotCanvas::use(const Colour& colour) const
{
    cairo_set_source_rgba(cr_, colour.r, colour.g, colour.b, colour.a);
}

void PlotCanvas::line(double x0, double y0, double x1, double y1, const Colour& colour, double lineWidth,
                      bool dashed) const
{
    cairo_save(cr_);
    use(colour);
    cairo_set_line_width(cr_, lineWidth);
    if (dashed) {
        const double dashes[] = {6.0, 4.0};
        cairo_set_dash(cr_, dashes, 2, 0.0);
    }
    cairo_move_to(cr_, x0, y0);
    cairo_line_to(cr_, x1, y1);
    cairo_stroke(cr_);
    cairo_restore(cr_);
}

void PlotCanvas::font(double size, bool bold) const
{
    cairo_select_font_face(cr_, kFace, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
}

double PlotCanvas::textWidth(const std::string& s, double size, bool bold) const
{
    font(size, bold);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, s.c_str(), &extents);
    return extents.x_advance;
}

double PlotCanvas::fittedSize(const std::string& s, double size, double maxWidth, bool bold) const
{
    const double width = textWidth(s, size, bold);
    if (width <= maxWidth || width <= 0.0)
        return size;
    return std::fmax(7.0, std::floor(size * maxWidth / width * 10.0) / 10.0);
}

void PlotCanvas::text(const std::string& s, double x, double y, double alignX, double alignY, double size,
                      const Colour& colour, bool bold) const
{
    cairo_save(cr_);
    font(size, bold);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, s.c_str(), &extents);
    // Aligned on the capital height, so labels of any letters line up alike.
    const double capital = size * 0.73;
    use(colour);
    cairo_move_to(cr_, x - extents.x_advance * alignX, y + capital * (1.0 - alignY));
    cairo_show_text(cr_, s.c_str());
    cairo_restore(cr_);
}

void PlotCanvas::upwardText(const std::string& s, double x, double y, double size, const Colour& colour) const
{
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, -1.5707963267948966);
    text(s, 0.0, 0.0, 0.5, 0.5, size, colour);
    cairo_restore(cr_);
}

bool PlotCanvas::encodePng(std::vector<uint8_t>& png, std::string& error) const
{
    png.clear();
    cairo_surface_flush(surface_);
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface_, appendPng, &png);
    if (status != CAIRO_STATUS_SUCCESS) {
        png.clear();
        error = std::string("cannot encode the image: ") + cairo_status_to_string(status);
        return false;
    }
    return true;
}
