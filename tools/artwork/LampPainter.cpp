#include "LampPainter.h"

#include <cmath>

#include "Disc.h"
#include "SoftShadow.h"

namespace {

const double kPi = 3.14159265358979323846;

Rgb Mix(const Rgb& a, const Rgb& b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

}   // namespace

void LampPainter::Paint(const Strip& strip, const Rgb& glass, const Rgb& glow, double bezelRadius)
{
    for (int k = 0; k < 2; ++k) {
        cairo_t* cr = strip.OpenFrame(k);
        PaintFrame(cr, strip.Width(), strip.FrameHeight(), bezelRadius, glass, glow, k == 1);
        cairo_destroy(cr);
    }
}

void LampPainter::PaintFrame(cairo_t* cr, int w, int h, double r, const Rgb& glass, const Rgb& glow, bool lit)
{
    const double cx = w * 0.5, cy = h * 0.5;
    const double jewel = r * 0.70;

    if (lit) {
        // Light spilling onto the panel around the bezel.
        const double reach = (w < h ? w : h) * 0.5;
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, reach, 0.0, 2.0 * kPi);
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, r * 0.8, cx, cy, reach);
        AddStop(halo, 0.0, glow, 0.55);
        AddStop(halo, 0.45, glow, 0.18);
        AddStop(halo, 1.0, glow, 0.0);
        cairo_set_source(cr, halo);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    const Disc bezel{cx, cy, r};
    SoftShadow::Cast(cr, w, h, Disc::Trace, &bezel, 0.7, 1.3, 1, lit ? 0.35 : 0.55);

    // Chrome bezel with a knurled rim.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0.0, 2.0 * kPi);
    cairo_pattern_t* chrome = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(chrome, 0.0, 0.98, 0.98, 0.97);
    cairo_pattern_add_color_stop_rgb(chrome, 0.35, 0.70, 0.71, 0.72);
    cairo_pattern_add_color_stop_rgb(chrome, 0.55, 0.92, 0.92, 0.92);
    cairo_pattern_add_color_stop_rgb(chrome, 1.0, 0.30, 0.30, 0.31);
    cairo_set_source(cr, chrome);
    cairo_fill(cr);
    cairo_pattern_destroy(chrome);
    const int ridges = static_cast<int>(r * 4.0);
    for (int i = 0; i < ridges; ++i) {
        const double t = 2.0 * kPi * i / ridges;
        const double x = std::sin(t), y = -std::cos(t);
        cairo_new_path(cr);
        cairo_move_to(cr, cx + x * (r - 1.6), cy + y * (r - 1.6));
        cairo_line_to(cr, cx + x * (r - 0.2), cy + y * (r - 0.2));
        cairo_set_line_width(cr, 0.6);
        cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.28);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 0.4, 0.0, 2.0 * kPi);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.45);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);

    // Seat of the jewel: a dark ring the bezel overhangs.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, jewel + 1.2, 0.0, 2.0 * kPi);
    cairo_set_source_rgba(cr, 0.05, 0.04, 0.03, 1.0);
    cairo_fill(cr);

    // The jewel itself.
    const Rgb deep = Mix(glass, Rgb{0, 0, 0}, lit ? 0.25 : 0.86);
    const Rgb centre = lit ? Mix(glow, Rgb{1.0, 1.0, 0.9}, 0.75) : Mix(glass, Rgb{0.05, 0.03, 0.02}, 0.62);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, jewel, 0.0, 2.0 * kPi);
    cairo_pattern_t* body = cairo_pattern_create_radial(cx, cy + jewel * 0.1, 0.0, cx, cy, jewel);
    AddStop(body, 0.0, centre);
    AddStop(body, lit ? 0.45 : 0.55, lit ? glow : Mix(glass, Rgb{0, 0, 0}, 0.74));
    AddStop(body, 1.0, deep);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    // Facets cut into the glass.
    const int facets = 12;
    for (int i = 0; i < facets; ++i) {
        const double t0 = 2.0 * kPi * i / facets, t1 = 2.0 * kPi * (i + 1) / facets;
        cairo_new_path(cr);
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, jewel, t0 - kPi / 2, t1 - kPi / 2);
        cairo_close_path(cr);
        const double mid = (t0 + t1) * 0.5;
        const double facing = -(std::sin(mid) - std::cos(mid)) * 0.7071;
        if (i % 2 == 0)
            cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, (lit ? 0.10 : 0.06) + 0.06 * facing);
        else
            cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, lit ? 0.10 : 0.16);
        cairo_fill(cr);
    }
    if (lit) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, jewel * 0.55, 0.0, 2.0 * kPi);
        cairo_pattern_t* core = cairo_pattern_create_radial(cx, cy, 0.0, cx, cy, jewel * 0.55);
        cairo_pattern_add_color_stop_rgba(core, 0.0, 1.0, 1.0, 0.92, 0.85);
        cairo_pattern_add_color_stop_rgba(core, 1.0, 1.0, 1.0, 0.92, 0.0);
        cairo_set_source(cr, core);
        cairo_fill(cr);
        cairo_pattern_destroy(core);
    }

    // Glint from the light above-left.
    cairo_save(cr);
    cairo_translate(cr, cx - jewel * 0.36, cy - jewel * 0.40);
    cairo_scale(cr, 1.0, 0.65);
    cairo_new_path(cr);
    cairo_arc(cr, 0.0, 0.0, jewel * 0.42, 0.0, 2.0 * kPi);
    cairo_pattern_t* glint = cairo_pattern_create_radial(0.0, 0.0, 0.0, 0.0, 0.0, jewel * 0.42);
    cairo_pattern_add_color_stop_rgba(glint, 0.0, 1, 1, 1, lit ? 0.75 : 0.6);
    cairo_pattern_add_color_stop_rgba(glint, 1.0, 1, 1, 1, 0.0);
    cairo_set_source(cr, glint);
    cairo_fill(cr);
    cairo_pattern_destroy(glint);
    cairo_restore(cr);
}
