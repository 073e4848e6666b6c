#include "Hardware.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

}   // namespace

void Hardware::RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0.0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0.0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(cr);
}

void Hardware::Screw(cairo_t* cr, double cx, double cy, double r, double slotDeg, bool phillips)
{
    cairo_save(cr);
    // Countersink shadow.
    cairo_new_path(cr);
    cairo_arc(cr, cx + 0.3, cy + 0.5, r + 0.9, 0.0, 2.0 * kPi);
    cairo_pattern_t* sink = cairo_pattern_create_radial(cx + 0.3, cy + 0.5, r - 0.5, cx + 0.3, cy + 0.5, r + 0.9);
    cairo_pattern_add_color_stop_rgba(sink, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(sink, 1.0, 0, 0, 0, 0.0);
    cairo_set_source(cr, sink);
    cairo_fill(cr);
    cairo_pattern_destroy(sink);

    // Domed nickel head.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0.0, 2.0 * kPi);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(head, 0.0, 0.97, 0.97, 0.95);
    cairo_pattern_add_color_stop_rgb(head, 0.55, 0.70, 0.70, 0.68);
    cairo_pattern_add_color_stop_rgb(head, 1.0, 0.36, 0.36, 0.35);
    cairo_set_source(cr, head);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(head);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.45);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);

    // Slot (and cross), cut dark with a lit lower lip.
    const double a = slotDeg * kPi / 180.0;
    const int cuts = phillips ? 2 : 1;
    for (int i = 0; i < cuts; ++i) {
        const double t = a + i * kPi / 2;
        const double dx = std::cos(t) * r * 0.78, dy = std::sin(t) * r * 0.78;
        cairo_new_path(cr);
        cairo_move_to(cr, cx - dx, cy - dy + 0.45);
        cairo_line_to(cr, cx + dx, cy + dy + 0.45);
        cairo_set_line_width(cr, r * 0.26);
        cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.35);
        cairo_stroke(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, cx - dx, cy - dy);
        cairo_line_to(cr, cx + dx, cy + dy);
        cairo_set_line_width(cr, r * 0.26);
        cairo_set_source_rgba(cr, 0.12, 0.12, 0.11, 0.9);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}
