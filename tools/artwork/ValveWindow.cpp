#include "ValveWindow.h"

#include <cmath>
#include <initializer_list>

#include "Hardware.h"
#include "PanelLayout.h"
#include "SoftShadow.h"

namespace {

const double kPi = 3.14159265358979323846;

struct Box {
    double x, y, w, h, r;
};

void TraceBox(cairo_t* cr, const void* user)
{
    const Box* b = static_cast<const Box*>(user);
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, b->x, b->y, b->w, b->h, b->r);
}

void Envelope(cairo_t* cr, double cx, double top, double half, double bottom)
{
    cairo_new_path(cr);
    cairo_move_to(cr, cx - half, bottom);
    cairo_line_to(cr, cx - half, top + half);
    cairo_arc(cr, cx, top + half, half, kPi, 2.0 * kPi);
    cairo_line_to(cr, cx + half, bottom);
    cairo_close_path(cr);
}

}   // namespace

void ValveWindow::PaintValve(cairo_t* cr, double cx, double top, double width, double bottom)
{
    const double half = width * 0.5;
    const double socket = bottom - 7.0;   // top of the socket
    const double plateTop = top + 16.0, plateBottom = socket - 9.0;
    const double seam = (plateTop + plateBottom) * 0.5;

    // Warm light the heaters throw on the chassis behind.
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, seam, 2.0, cx, seam, 36.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.55, 0.15, 0.60);
    cairo_pattern_add_color_stop_rgba(glow, 0.45, 0.9, 0.30, 0.05, 0.20);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 0.9, 0.30, 0.05, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);

    // Support rods.
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * (half - 3.8), top + 11.0);
        cairo_line_to(cr, cx + side * (half - 3.8), socket);
        cairo_set_source_rgba(cr, 0.62, 0.58, 0.52, 0.9);
        cairo_set_line_width(cr, 0.7);
        cairo_stroke(cr);
    }

    // Two triode units stacked, each a ribbed nickel anode whose ends let
    // the heater's glow out.
    const double pw = width - 10.0;
    for (int unit = 0; unit < 2; ++unit) {
        const double y0 = unit == 0 ? plateTop : seam + 1.5;
        const double y1 = unit == 0 ? seam - 1.5 : plateBottom;
        for (double gy : {y0, y1}) {
            cairo_pattern_t* hot = cairo_pattern_create_radial(cx, gy, 0.0, cx, gy, 5.0);
            cairo_pattern_add_color_stop_rgba(hot, 0.0, 1.0, 0.85, 0.45, 1.0);
            cairo_pattern_add_color_stop_rgba(hot, 0.4, 1.0, 0.50, 0.10, 0.55);
            cairo_pattern_add_color_stop_rgba(hot, 1.0, 1.0, 0.40, 0.05, 0.0);
            cairo_set_source(cr, hot);
            cairo_new_path(cr);
            cairo_arc(cr, cx, gy, 5.0, 0.0, 2.0 * kPi);
            cairo_fill(cr);
            cairo_pattern_destroy(hot);
        }
        cairo_new_path(cr);
        cairo_rectangle(cr, cx - pw * 0.5, y0 + 1.0, pw, y1 - y0 - 2.0);
        cairo_pattern_t* plate = cairo_pattern_create_linear(cx - pw * 0.5, 0, cx + pw * 0.5, 0);
        cairo_pattern_add_color_stop_rgb(plate, 0.0, 0.16, 0.15, 0.14);
        cairo_pattern_add_color_stop_rgb(plate, 0.25, 0.38, 0.36, 0.33);
        cairo_pattern_add_color_stop_rgb(plate, 0.5, 0.22, 0.21, 0.20);
        cairo_pattern_add_color_stop_rgb(plate, 0.75, 0.30, 0.29, 0.27);
        cairo_pattern_add_color_stop_rgb(plate, 1.0, 0.12, 0.11, 0.10);
        cairo_set_source(cr, plate);
        cairo_fill(cr);
        cairo_pattern_destroy(plate);
        cairo_new_path(cr);
        cairo_move_to(cr, cx, y0 + 2.0);
        cairo_line_to(cr, cx, y1 - 2.0);
        cairo_set_source_rgba(cr, 0.05, 0.04, 0.04, 0.8);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }

    // Mica spacers, lit from below by the glow.
    for (double my : {plateTop - 2.5, plateBottom + 0.5}) {
        cairo_new_path(cr);
        cairo_rectangle(cr, cx - half + 1.2, my, width - 2.4, 2.0);
        cairo_set_source_rgba(cr, 0.95, 0.80, 0.58, 0.60);
        cairo_fill(cr);
    }

    // Getter flash silvering the dome.
    Envelope(cr, cx, top, half, top + 12.0);
    cairo_pattern_t* getter = cairo_pattern_create_linear(0, top, 0, top + 12.0);
    cairo_pattern_add_color_stop_rgba(getter, 0.0, 0.70, 0.70, 0.72, 0.95);
    cairo_pattern_add_color_stop_rgba(getter, 0.55, 0.30, 0.29, 0.30, 0.85);
    cairo_pattern_add_color_stop_rgba(getter, 1.0, 0.20, 0.18, 0.16, 0.0);
    cairo_set_source(cr, getter);
    cairo_fill(cr);
    cairo_pattern_destroy(getter);

    // Glass: warm tint inside, bright edges, a long reflection down the left.
    Envelope(cr, cx, top, half, socket);
    cairo_pattern_t* tint = cairo_pattern_create_radial(cx, seam, 1.0, cx, seam, width * 1.4);
    cairo_pattern_add_color_stop_rgba(tint, 0.0, 1.0, 0.60, 0.25, 0.14);
    cairo_pattern_add_color_stop_rgba(tint, 1.0, 1.0, 0.90, 0.75, 0.04);
    cairo_set_source(cr, tint);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(tint);
    cairo_set_source_rgba(cr, 1.0, 0.90, 0.78, 0.35);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - half + 2.4, socket - 2.0);
    cairo_line_to(cr, cx - half + 2.4, top + half);
    cairo_arc(cr, cx, top + half, half - 2.4, kPi, kPi * 1.35);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.45);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx + half - 2.0, top + half + 2.0);
    cairo_line_to(cr, cx + half - 2.0, socket - 6.0);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.16);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    // Bakelite socket with a nickel retaining ring.
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, cx - half - 3.0, socket, width + 6.0, bottom - socket + 4.0, 2.0);
    cairo_pattern_t* base = cairo_pattern_create_linear(0, socket, 0, bottom);
    cairo_pattern_add_color_stop_rgb(base, 0.0, 0.30, 0.28, 0.26);
    cairo_pattern_add_color_stop_rgb(base, 0.3, 0.12, 0.11, 0.10);
    cairo_pattern_add_color_stop_rgb(base, 1.0, 0.05, 0.05, 0.05);
    cairo_set_source(cr, base);
    cairo_fill(cr);
    cairo_pattern_destroy(base);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - half - 2.0, socket + 0.5);
    cairo_line_to(cr, cx + half + 2.0, socket + 0.5);
    cairo_set_source_rgba(cr, 1.0, 0.80, 0.55, 0.45);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void ValveWindow::Paint(cairo_t* cr, double x, double y, double w, double h)
{
    const Box outer{x, y, w, h, 7.0};
    SoftShadow::Cast(cr, PanelLayout::kPanelWidth, PanelLayout::kPanelHeight, TraceBox, &outer, 1.2, 2.0, 2, 0.5);

    // Black bezel.
    TraceBox(cr, &outer);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(bezel, 0.0, 0.22, 0.21, 0.20);
    cairo_pattern_add_color_stop_rgb(bezel, 0.15, 0.11, 0.105, 0.10);
    cairo_pattern_add_color_stop_rgb(bezel, 1.0, 0.04, 0.04, 0.04);
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);
    const Box rim{x + 0.5, y + 0.5, w - 1.0, h - 1.0, 6.5};
    TraceBox(cr, &rim);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(edge, 0.0, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(edge, 0.5, 1, 1, 1, 0.04);
    cairo_pattern_add_color_stop_rgba(edge, 1.0, 0, 0, 0, 0.6);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);

    const double m = 7.0;
    const Box glass{x + m, y + m, w - 2.0 * m, h - 2.0 * m, 3.5};
    cairo_save(cr);
    TraceBox(cr, &glass);
    cairo_clip(cr);
    cairo_pattern_t* inside = cairo_pattern_create_linear(0, glass.y, 0, glass.y + glass.h);
    cairo_pattern_add_color_stop_rgb(inside, 0.0, 0.035, 0.03, 0.028);
    cairo_pattern_add_color_stop_rgb(inside, 1.0, 0.10, 0.065, 0.04);
    cairo_set_source(cr, inside);
    cairo_paint(cr);
    cairo_pattern_destroy(inside);
    const double valveW = 21.0;
    const double bottom = glass.y + glass.h;
    for (int i = 0; i < 2; ++i) {
        const double cx = glass.x + glass.w * (i == 0 ? 0.32 : 0.68);
        PaintValve(cr, cx, glass.y + 4.0, valveW, bottom);
    }
    // Front glass: shade under the bezel and a diagonal reflection.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, glass.y, 0, glass.y + 10.0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.6);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.0);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    cairo_new_path(cr);
    cairo_move_to(cr, glass.x, glass.y);
    cairo_line_to(cr, glass.x + glass.w * 0.55, glass.y);
    cairo_line_to(cr, glass.x + glass.w * 0.15, glass.y + glass.h);
    cairo_line_to(cr, glass.x, glass.y + glass.h);
    cairo_close_path(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(glass.x, glass.y, glass.x + glass.w * 0.4, glass.y + glass.h);
    cairo_pattern_add_color_stop_rgba(gloss, 0.0, 1, 1, 1, 0.10);
    cairo_pattern_add_color_stop_rgba(gloss, 1.0, 1, 1, 1, 0.02);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);

    const Box lip{glass.x - 1.0, glass.y - 1.0, glass.w + 2.0, glass.h + 2.0, 4.5};
    TraceBox(cr, &lip);
    cairo_pattern_t* bevel = cairo_pattern_create_linear(0, glass.y, 0, glass.y + glass.h);
    cairo_pattern_add_color_stop_rgba(bevel, 0.0, 0, 0, 0, 0.9);
    cairo_pattern_add_color_stop_rgba(bevel, 1.0, 1, 1, 1, 0.28);
    cairo_set_source(cr, bevel);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);
}
