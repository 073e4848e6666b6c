#include "KnobPainter.h"

#include <cmath>

#include "Disc.h"
#include "PanelLayout.h"
#include "Rgb.h"
#include "SoftShadow.h"

namespace {

const double kPi = 3.14159265358979323846;

// Light comes from the upper left; a bevelled edge is bright there and dark
// at the lower right, whatever the knob's rotation.
cairo_pattern_t* Bevel(double cx, double cy, double r, const Rgb& lit, const Rgb& shade)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - r * 0.7, cy - r * 0.7, cx + r * 0.7, cy + r * 0.7);
    AddStop(p, 0.0, lit);
    AddStop(p, 1.0, shade);
    return p;
}

void FillDisc(cairo_t* cr, double cx, double cy, double r, cairo_pattern_t* p)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0.0, 2.0 * kPi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Bakelite: a dark dome with a soft reflection of the light above-left.
void Bakelite(cairo_t* cr, double cx, double cy, double r)
{
    cairo_pattern_t* body = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.45, r * 0.05, cx, cy, r);
    AddStop(body, 0.0, Rgb{0.36, 0.35, 0.34});
    AddStop(body, 0.45, Rgb{0.13, 0.125, 0.12});
    AddStop(body, 1.0, Rgb{0.035, 0.033, 0.03});
    FillDisc(cr, cx, cy, r, body);

    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 0.5, 0.0, 2.0 * kPi);
    cairo_pattern_t* rim = Bevel(cx, cy, r, Rgb{1, 1, 1}, Rgb{0, 0, 0});
    cairo_pattern_add_color_stop_rgba(rim, 0.0, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(rim, 0.5, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(rim, 1.0, 0, 0, 0, 0.5);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

void Pointer(cairo_t* cr, double cx, double cy, double angleRad, double r0, double r1, double width, const Rgb& c,
             double alpha)
{
    const double sx = std::sin(angleRad), sy = -std::cos(angleRad);
    cairo_new_path(cr);
    cairo_move_to(cr, cx + sx * r0, cy + sy * r0);
    cairo_line_to(cr, cx + sx * r1, cy + sy * r1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    SetSource(cr, c, alpha);
    cairo_stroke(cr);
}

const Rgb kCream{0.97, 0.94, 0.84};

}   // namespace

void KnobPainter::Paint(const Strip& strip, Kind kind)
{
    const int w = strip.Width();
    const int h = strip.FrameHeight();
    const double cx = w * 0.5;
    const double cy = h * 0.5;
    const double radius = (w < h ? w : h) * 0.5 - (kind == kSmall ? 1.7 : 2.4);
    for (int k = 0; k < strip.Frames(); ++k) {
        const double v = static_cast<double>(k) / (strip.Frames() - 1);
        cairo_t* cr = strip.OpenFrame(k);
        PaintKnob(cr, w, h, cx, cy, radius, PanelLayout::KnobAngle(v), kind);
        cairo_destroy(cr);
    }
}

void KnobPainter::PaintKnob(cairo_t* cr, int w, int h, double cx, double cy, double radius, double angleDeg, Kind kind)
{
    const Disc shadow{cx, cy, radius};
    const bool small = kind == kSmall;
    SoftShadow::Cast(cr, w, h, Disc::Trace, &shadow, small ? 0.6 : 1.0, small ? 1.1 : 1.8, small ? 1 : 1,
                     small ? 0.55 : 0.6);
    const double a = angleDeg * kPi / 180.0;
    if (small)
        PaintSmall(cr, cx, cy, radius, a);
    else
        PaintLarge(cr, cx, cy, radius, a);
}

void KnobPainter::PaintSmall(cairo_t* cr, double cx, double cy, double r, double a)
{
    // Turned aluminium ring.
    FillDisc(cr, cx, cy, r, Bevel(cx, cy, r, Rgb{0.93, 0.92, 0.89}, Rgb{0.36, 0.35, 0.33}));
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 0.5, 0.0, 2.0 * kPi);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    const double cap = r * 0.74;
    Disc capDisc{cx, cy, cap + 0.6};
    cairo_new_path(cr);
    Disc::Trace(cr, &capDisc);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.45);
    cairo_fill(cr);
    Bakelite(cr, cx, cy, cap);

    // Index: engraved on the ring, inlaid cream on the cap.
    Pointer(cr, cx, cy, a, cap + 0.3, r - 0.6, 1.3, Rgb{0.08, 0.07, 0.06}, 0.9);
    Pointer(cr, cx, cy, a, cap * 0.22, cap - 0.9, 1.7, kCream, 1.0);
}

void KnobPainter::PaintLarge(cairo_t* cr, double cx, double cy, double r, double a)
{
    // Spun aluminium skirt: bright and dark sectors where the circular
    // grain catches the light, fixed to the light, not to the knob.
    FillDisc(cr, cx, cy, r, Bevel(cx, cy, r, Rgb{0.86, 0.86, 0.84}, Rgb{0.42, 0.42, 0.41}));
    const int sectors = 180;
    for (int i = 0; i < sectors; ++i) {
        const double t0 = 2.0 * kPi * i / sectors;
        const double t1 = 2.0 * kPi * (i + 1) / sectors + 0.004;
        const double mid = (t0 + t1) * 0.5;
        const double s = std::cos(2.0 * (mid + kPi * 0.25));
        cairo_new_path(cr);
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, r, t0, t1);
        cairo_close_path(cr);
        if (s > 0)
            cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.30 * s * s);
        else
            cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.22 * s * s);
        cairo_fill(cr);
    }
    for (double rr = r * 0.70; rr < r - 0.5; rr += 1.1) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, rr, 0.0, 2.0 * kPi);
        cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.05);
        cairo_set_line_width(cr, 0.5);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 0.5, 0.0, 2.0 * kPi);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.45);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    // Index line engraved into the skirt.
    const double cap = r * 0.66;
    Pointer(cr, cx, cy, a, cap + 1.0, r - 1.4, 1.6, Rgb{0.06, 0.05, 0.05}, 0.95);

    // Fluted bakelite cap: the flutes turn with the knob.
    const int flutes = 18;
    cairo_new_path(cr);
    for (int i = 0; i <= 360; ++i) {
        const double t = 2.0 * kPi * i / 360.0;
        const double rr = cap * (1.0 - 0.045 * (0.5 + 0.5 * std::cos(flutes * (t - a))));
        const double x = cx + rr * std::sin(t), y = cy - rr * std::cos(t);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    cairo_path_t* flutePath = cairo_copy_path(cr);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.5);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_append_path(cr, flutePath);
    cairo_pattern_t* body = Bevel(cx, cy, cap, Rgb{0.30, 0.29, 0.28}, Rgb{0.03, 0.03, 0.03});
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    for (int i = 0; i < flutes; ++i) {
        const double t = a + 2.0 * kPi * (i + 0.5) / flutes;
        const double lx = std::sin(t), ly = -std::cos(t);
        // Flute valleys catch light on the side facing the upper left.
        const double facing = -(lx + ly) * 0.7071;
        cairo_new_path(cr);
        cairo_move_to(cr, cx + lx * cap * 0.80, cy + ly * cap * 0.80);
        cairo_line_to(cr, cx + lx * cap * 0.97, cy + ly * cap * 0.97);
        cairo_set_line_width(cr, 1.1);
        if (facing > 0)
            cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.22 * facing);
        else
            cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.35 * -facing);
        cairo_stroke(cr);
    }
    cairo_path_destroy(flutePath);

    Bakelite(cr, cx, cy, cap * 0.80);
    Pointer(cr, cx, cy, a, cap * 0.18, cap * 0.93, 2.0, kCream, 1.0);
}
