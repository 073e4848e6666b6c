#include "MeterPainter.h"

#include "ArtScale.h"

#include <cmath>

#include "Hardware.h"
#include "PanelLayout.h"
#include "SoftShadow.h"

namespace {

const double kPi = 3.14159265358979323846;

// The glass opening in the bezel.
const double kWinX = 10.0, kWinY = 9.0, kWinW = 180.0, kWinH = 99.0, kWinR = 4.0;
const double kNeedleLength = 93.0;
const double kCoverRadius = 36.0;

const Rgb kInk{0.10, 0.08, 0.06};
const Rgb kRed{0.66, 0.10, 0.07};

struct Needle {
    double angleRad;
};

void Point(double r, double angleRad, double* x, double* y)
{
    *x = MeterPainter::kPivotX + r * std::sin(angleRad);
    *y = MeterPainter::kPivotY - r * std::cos(angleRad);
}

// Tapered blade from the pivot to the tip.
void TraceNeedle(cairo_t* cr, const void* user)
{
    const double a = static_cast<const Needle*>(user)->angleRad;
    const double nx = std::cos(a), ny = std::sin(a);
    double bx, by, tx, ty;
    Point(kCoverRadius - 6.0, a, &bx, &by);
    Point(kNeedleLength, a, &tx, &ty);
    cairo_new_path(cr);
    cairo_move_to(cr, bx - nx * 0.95, by - ny * 0.95);
    cairo_line_to(cr, tx - nx * 0.42, ty - ny * 0.42);
    cairo_line_to(cr, tx + nx * 0.42, ty + ny * 0.42);
    cairo_line_to(cr, bx + nx * 0.95, by + ny * 0.95);
    cairo_close_path(cr);
}

double Rad(double normalised)
{
    return PanelLayout::MeterAngle(normalised) * kPi / 180.0;
}

}   // namespace

void MeterPainter::ClipWindow(cairo_t* cr)
{
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, kWinX, kWinY, kWinW, kWinH, kWinR);
    cairo_clip(cr);
}

void MeterPainter::Paint(const Strip& strip) const
{
    const int w = strip.Width(), h = strip.FrameHeight();
    cairo_surface_t* face = ArtScale::CreateSurface(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* fc = cairo_create(face);
    PaintFace(fc, w, h);
    cairo_destroy(fc);
    cairo_surface_t* cover = ArtScale::CreateSurface(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cc = cairo_create(cover);
    PaintCover(cc);
    cairo_destroy(cc);

    for (int k = 0; k < strip.Frames(); ++k) {
        cairo_t* cr = strip.OpenFrame(k);
        cairo_set_source_surface(cr, face, 0, 0);
        cairo_paint(cr);
        PaintNeedle(cr, w, h, static_cast<double>(k) / (strip.Frames() - 1));
        cairo_set_source_surface(cr, cover, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    cairo_surface_destroy(cover);
    cairo_surface_destroy(face);
}

void MeterPainter::PaintFace(cairo_t* cr, int w, int h) const
{
    // Bezel: black enamel, rounded, with a bright upper edge.
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, 0.5, 0.5, w - 1.0, h - 1.0, 6.0);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(bezel, 0.0, 0.22, 0.21, 0.20);
    cairo_pattern_add_color_stop_rgb(bezel, 0.12, 0.12, 0.115, 0.11);
    cairo_pattern_add_color_stop_rgb(bezel, 1.0, 0.045, 0.04, 0.04);
    cairo_set_source(cr, bezel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(bezel);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgba(rim, 0.0, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(rim, 0.5, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(rim, 1.0, 0, 0, 0, 0.6);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);

    Hardware::Screw(cr, 5.0, 5.0, 2.6, 30.0, false);
    Hardware::Screw(cr, w - 5.0, 5.0, 2.6, 110.0, false);
    Hardware::Screw(cr, 5.0, h - 5.0, 2.6, 75.0, false);
    Hardware::Screw(cr, w - 5.0, h - 5.0, 2.6, 160.0, false);

    // Bevel around the opening: dark above (in shade), lit below.
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, kWinX - 1.5, kWinY - 1.5, kWinW + 3.0, kWinH + 3.0, kWinR + 1.5);
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, kWinY - 2, 0, kWinY + kWinH + 2);
    cairo_pattern_add_color_stop_rgba(lip, 0.0, 0, 0, 0, 0.9);
    cairo_pattern_add_color_stop_rgba(lip, 1.0, 1, 1, 1, 0.28);
    cairo_set_source(cr, lip);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);

    // Backlit card.
    cairo_save(cr);
    ClipWindow(cr);
    cairo_pattern_t* card = cairo_pattern_create_radial(kPivotX, 86.0, 4.0, kPivotX, 70.0, 118.0);
    cairo_pattern_add_color_stop_rgb(card, 0.0, 1.0, 0.94, 0.74);
    cairo_pattern_add_color_stop_rgb(card, 0.55, 0.97, 0.87, 0.62);
    cairo_pattern_add_color_stop_rgb(card, 1.0, 0.80, 0.66, 0.42);
    cairo_set_source(cr, card);
    cairo_paint(cr);
    cairo_pattern_destroy(card);
    PaintScale(cr);
    cairo_restore(cr);
}

void MeterPainter::PaintScale(cairo_t* cr) const
{
    // Red band over the heavy end of the scale.
    const double red0 = Rad(PanelLayout::MeterValueForDb(10.0)), red1 = Rad(1.0);
    cairo_new_path(cr);
    cairo_arc(cr, kPivotX, kPivotY, kScaleRadius + 3.5, red0 - kPi / 2, red1 - kPi / 2);
    cairo_set_line_width(cr, 5.0);
    SetSource(cr, kRed, 0.85);
    cairo_stroke(cr);

    cairo_new_path(cr);
    cairo_arc(cr, kPivotX, kPivotY, kScaleRadius, Rad(0.0) - kPi / 2, Rad(1.0) - kPi / 2);
    cairo_set_line_width(cr, 1.0);
    SetSource(cr, kInk);
    cairo_stroke(cr);

    // Ticks: every half dB to 6, whole dB to 10, then 12, 15, 20, 30.
    for (int i = 0; i <= 12; ++i) {
        const double db = i * 0.5;
        const bool major = i % 2 == 0;
        const double a = Rad(PanelLayout::MeterValueForDb(db));
        double x0, y0, x1, y1;
        Point(kScaleRadius, a, &x0, &y0);
        Point(kScaleRadius + (major ? 7.0 : 4.0), a, &x1, &y1);
        cairo_new_path(cr);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, major ? 1.2 : 0.8);
        SetSource(cr, kInk);
        cairo_stroke(cr);
    }
    const double more[] = {7.0, 8.0, 9.0, 10.0, 12.0, 15.0, 20.0, 30.0};
    for (double db : more) {
        const bool major = db == 8.0 || db == 10.0 || db == 15.0 || db == 20.0;
        const double a = Rad(PanelLayout::MeterValueForDb(db));
        double x0, y0, x1, y1;
        Point(kScaleRadius, a, &x0, &y0);
        Point(kScaleRadius + (major ? 7.0 : 4.0), a, &x1, &y1);
        cairo_new_path(cr);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, major ? 1.2 : 0.8);
        SetSource(cr, db >= 10.0 ? Rgb{0.25, 0.03, 0.02} : kInk);
        cairo_stroke(cr);
    }
    // End stop.
    {
        double x0, y0, x1, y1;
        Point(kScaleRadius - 3.0, Rad(1.0), &x0, &y0);
        Point(kScaleRadius + 7.0, Rad(1.0), &x1, &y1);
        cairo_new_path(cr);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, 1.2);
        SetSource(cr, kInk);
        cairo_stroke(cr);
    }

    const TextLook numerals{FontBook::kSansBold, 8.5, 0.0, 0.92};
    const struct {
        double db;
        const char* text;
    } labels[] = {{0, "0"}, {1, "1"}, {2, "2"},   {3, "3"},   {4, "4"},  {5, "5"},
                  {6, "6"}, {8, "8"}, {10, "10"}, {15, "15"}, {20, "20"}};
    for (const auto& l : labels) {
        const double a = Rad(PanelLayout::MeterValueForDb(l.db));
        double x, y;
        Point(kScaleRadius + 10.5, a, &x, &y);
        // Upright numerals whose centre sits on the label circle.
        lettering_.Draw(cr, x, y + 3.0 - 1.5 * std::fabs(std::sin(a)), l.text, numerals, Lettering::kCenter,
                        l.db >= 10.0 ? kRed : kInk);
    }

    const TextLook caption{FontBook::kSansBold, 6.6, 1.1, 1.0};
    lettering_.Draw(cr, kPivotX, 74.0, "GAIN REDUCTION", caption, Lettering::kCenter, kInk);
    const TextLook unit{FontBook::kSerifBold, 11.0, 0.0, 1.0};
    lettering_.Draw(cr, kPivotX, 63.0, "dB", unit, Lettering::kCenter, kInk);
}

void MeterPainter::PaintNeedle(cairo_t* cr, int w, int h, double normalised)
{
    const Needle n{Rad(normalised)};
    cairo_save(cr);
    ClipWindow(cr);
    SoftShadow::Cast(cr, w, h, TraceNeedle, &n, 1.6, 2.6, 1, 0.30);
    TraceNeedle(cr, &n);
    cairo_set_source_rgb(cr, 0.07, 0.055, 0.05);
    cairo_fill(cr);
    cairo_restore(cr);
}

void MeterPainter::PaintCover(cairo_t* cr) const
{
    cairo_save(cr);
    ClipWindow(cr);

    // Black shroud over the movement and the needle's root.
    const double top = kPivotY - kCoverRadius;
    cairo_new_path(cr);
    cairo_arc(cr, kPivotX, kPivotY, kCoverRadius, 0.0, 2.0 * kPi);
    cairo_pattern_t* shroud = cairo_pattern_create_linear(0, top, 0, kPivotY);
    cairo_pattern_add_color_stop_rgb(shroud, 0.0, 0.20, 0.19, 0.18);
    cairo_pattern_add_color_stop_rgb(shroud, 0.25, 0.09, 0.085, 0.08);
    cairo_pattern_add_color_stop_rgb(shroud, 1.0, 0.03, 0.03, 0.03);
    cairo_set_source(cr, shroud);
    cairo_fill(cr);
    cairo_pattern_destroy(shroud);
    cairo_new_path(cr);
    cairo_arc(cr, kPivotX, kPivotY, kCoverRadius - 0.5, -kPi * 0.95, -kPi * 0.05);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);

    // Shade cast by the bezel on the card, heavier at the top.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, kWinY, 0, kWinY + 14.0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0.12, 0.07, 0.02, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0.12, 0.07, 0.02, 0.0);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    for (int side = 0; side < 2; ++side) {
        const double x0 = side == 0 ? kWinX : kWinX + kWinW;
        const double x1 = side == 0 ? kWinX + 8.0 : kWinX + kWinW - 8.0;
        cairo_pattern_t* s = cairo_pattern_create_linear(x0, 0, x1, 0);
        cairo_pattern_add_color_stop_rgba(s, 0.0, 0.12, 0.07, 0.02, 0.35);
        cairo_pattern_add_color_stop_rgba(s, 1.0, 0.12, 0.07, 0.02, 0.0);
        cairo_set_source(cr, s);
        cairo_paint(cr);
        cairo_pattern_destroy(s);
    }
    cairo_pattern_destroy(shade);

    // Glass: a broad soft reflection across the upper half.
    cairo_save(cr);
    cairo_translate(cr, kPivotX - 20.0, kWinY - 40.0);
    cairo_scale(cr, 1.6, 1.0);
    cairo_new_path(cr);
    cairo_arc(cr, 0.0, 0.0, 80.0, 0.0, 2.0 * kPi);
    cairo_restore(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, kWinY, 0, kWinY + 42.0);
    cairo_pattern_add_color_stop_rgba(gloss, 0.0, 1, 1, 1, 0.30);
    cairo_pattern_add_color_stop_rgba(gloss, 1.0, 1, 1, 1, 0.04);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
}
