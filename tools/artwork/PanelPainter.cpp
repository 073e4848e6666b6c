#include "PanelPainter.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "ArtScale.h"
#include "Hardware.h"
#include "NoiseSource.h"
#include "SoftShadow.h"
#include "ValveWindow.h"

namespace {

const double kPi = 3.14159265358979323846;

const Rgb kInk{0.15, 0.11, 0.08};
const Rgb kOxblood{0.50, 0.11, 0.08};
const Rgb kPlateInk{0.93, 0.87, 0.72};

const double kCaptionBaseline = 263.0;
const double kSubCaptionBaseline = 252.5;

const TextLook kCaptionLook{FontBook::kSansBold, 8.6, 1.3, 0.95};
const TextLook kNumeralLook{FontBook::kSansBold, 7.6, 0.0, 0.88};
const TextLook kSmallLook{FontBook::kSansBold, 7.0, 0.45, 0.9};

double Deg2Rad(double d)
{
    return d * kPi / 180.0;
}

}   // namespace

void PanelPainter::Paint(const Strip& strip) const
{
    const int w = strip.Width(), h = strip.FrameHeight();
    cairo_t* cr = strip.OpenFrame(0);
    PaintEnamel(cr, strip.Surface(), w, h);
    PaintRackEars(cr, w, h);
    PaintNameplate(cr);
    PaintDividers(cr);
    ValveWindow::Paint(cr, 46.0, 176.0, 126.0, 76.0);
    PaintMeterRecess(cr);
    PaintInput(cr);
    PaintRelease(cr);
    PaintDcThreshold(cr);
    PaintAcThreshold(cr);
    PaintOutput(cr);
    PaintMix(cr);
    PaintHighPass(cr);
    PaintSwitches(cr);
    cairo_destroy(cr);
}

void PanelPainter::PaintEnamel(cairo_t* cr, cairo_surface_t* surface, int w, int h) const
{
    cairo_pattern_t* base = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(base, 0.0, 0.925, 0.885, 0.790);
    cairo_pattern_add_color_stop_rgb(base, 1.0, 0.875, 0.830, 0.725);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);

    // Paint texture: soft mottling plus a fine grain, then a faint sheen
    // left by the brush, running across the plate.
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    NoiseSource noise(0x71de9u);
    // The grain is per pixel; the mottling keeps its size on the panel.
    const int cell = 24 * ArtScale::Factor();
    const int panelW = w, panelH = h;
    w = cairo_image_surface_get_width(surface);
    h = cairo_image_surface_get_height(surface);
    const int gw = w / cell + 2, gh = h / cell + 2;
    std::vector<double> grid(static_cast<size_t>(gw) * gh);
    for (double& g : grid)
        g = noise.Signed();
    std::vector<double> rowSheen(h);
    double drift = 0.0;
    for (int y = 0; y < h; ++y) {
        drift = drift * 0.85 + noise.Signed() * 0.6;
        rowSheen[y] = drift;
    }
    for (int y = 0; y < h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        const double gy = static_cast<double>(y) / cell;
        const int iy = static_cast<int>(gy);
        const double fy = gy - iy;
        for (int x = 0; x < w; ++x) {
            const double gx = static_cast<double>(x) / cell;
            const int ix = static_cast<int>(gx);
            const double fx = gx - ix;
            const double a = grid[iy * gw + ix], b = grid[iy * gw + ix + 1];
            const double c = grid[(iy + 1) * gw + ix], d = grid[(iy + 1) * gw + ix + 1];
            const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
            const double mottle = (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
            const double delta = mottle * 2.2 + noise.Signed() * 2.4 + rowSheen[y] * 1.1;
            uint32_t p = row[x];
            int rgb[3] = {static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                          static_cast<int>(p & 0xff)};
            for (int& v : rgb) {
                v += static_cast<int>(std::lround(delta));
                v = v < 0 ? 0 : (v > 255 ? 255 : v);
            }
            row[x] = 0xff000000u | (static_cast<uint32_t>(rgb[0]) << 16) | (static_cast<uint32_t>(rgb[1]) << 8) |
                static_cast<uint32_t>(rgb[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    w = panelW;
    h = panelH;

    // Age: the enamel darkens and warms toward the edges.
    cairo_pattern_t* vignette = cairo_pattern_create_radial(w * 0.5, h * 0.42, h * 0.6, w * 0.5, h * 0.42, w * 0.62);
    cairo_pattern_add_color_stop_rgba(vignette, 0.0, 0.35, 0.22, 0.08, 0.0);
    cairo_pattern_add_color_stop_rgba(vignette, 1.0, 0.35, 0.22, 0.08, 0.16);
    cairo_set_source(cr, vignette);
    cairo_paint(cr);
    cairo_pattern_destroy(vignette);

    // Plate edge: a rounded bevel catching the light on the top and left.
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_move_to(cr, 0.5, h - 1.0);
    cairo_line_to(cr, 0.5, 0.5);
    cairo_line_to(cr, w - 1.0, 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.25, 0.17, 0.08, 0.55);
    cairo_move_to(cr, w - 0.5, 1.0);
    cairo_line_to(cr, w - 0.5, h - 0.5);
    cairo_line_to(cr, 1.0, h - 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.25, 0.17, 0.08, 0.18);
    cairo_move_to(cr, w - 1.5, 2.0);
    cairo_line_to(cr, w - 1.5, h - 1.5);
    cairo_line_to(cr, 2.0, h - 1.5);
    cairo_stroke(cr);
}

void PanelPainter::PaintRackEars(cairo_t* cr, int w, int h) const
{
    const double xs[2] = {17.0, w - 17.0};
    const double ys[2] = {37.0, h - 37.0};
    const double slotAngles[4] = {12.0, 57.0, 33.0, 78.0};
    int n = 0;
    for (double x : xs) {
        for (double y : ys) {
            // Oval slot punched through the plate, a screw sitting in it.
            cairo_new_path(cr);
            Hardware::RoundedRect(cr, x - 6.0, y - 12.0, 12.0, 24.0, 6.0);
            cairo_pattern_t* hole = cairo_pattern_create_linear(0, y - 12.0, 0, y + 12.0);
            cairo_pattern_add_color_stop_rgb(hole, 0.0, 0.05, 0.04, 0.03);
            cairo_pattern_add_color_stop_rgb(hole, 1.0, 0.16, 0.13, 0.10);
            cairo_set_source(cr, hole);
            cairo_fill(cr);
            cairo_pattern_destroy(hole);
            cairo_new_path(cr);
            Hardware::RoundedRect(cr, x - 6.5, y - 12.0, 13.0, 25.0, 6.5);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
            cairo_set_line_width(cr, 0.8);
            cairo_stroke(cr);
            Hardware::Screw(cr, x, y + 3.0, 6.2, slotAngles[n++], true);
        }
    }
}

void PanelPainter::PaintNameplate(cairo_t* cr) const
{
    const double x = 62.0, y = 30.0, w = 520.0, h = 104.0;

    struct Plate {
        double x, y, w, h;
    } plate{x, y, w, h};
    SoftShadow::Cast(
        cr, PanelLayout::kPanelWidth, PanelLayout::kPanelHeight,
        [](cairo_t* c, const void* u) {
        const Plate* p = static_cast<const Plate*>(u);
        cairo_new_path(c);
        Hardware::RoundedRect(c, p->x, p->y, p->w, p->h, 5.0);
        },
        &plate, 1.2, 2.2, 2, 0.45);

    // Black anodised plate, lightly brushed across.
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, x, y, w, h, 5.0);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(body, 0.0, 0.17, 0.16, 0.15);
    cairo_pattern_add_color_stop_rgb(body, 0.5, 0.095, 0.09, 0.085);
    cairo_pattern_add_color_stop_rgb(body, 1.0, 0.06, 0.055, 0.05);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    cairo_save(cr);
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, x, y, w, h, 5.0);
    cairo_clip(cr);
    NoiseSource brush(0x51a7e5u);
    for (double yy = y + 0.5; yy < y + h; yy += 1.0) {
        const double v = brush.Signed();
        cairo_new_path(cr);
        cairo_move_to(cr, x, yy);
        cairo_line_to(cr, x + w, yy);
        cairo_set_line_width(cr, 1.0);
        if (v > 0)
            cairo_set_source_rgba(cr, 1, 1, 1, 0.03 * v);
        else
            cairo_set_source_rgba(cr, 0, 0, 0, 0.10 * -v);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, x + 0.5, y + 0.5, w - 1.0, h - 1.0, 4.5);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(rim, 0.0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(rim, 0.4, 1, 1, 1, 0.08);
    cairo_pattern_add_color_stop_rgba(rim, 1.0, 0, 0, 0, 0.5);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);

    // Inlaid border line in brass.
    cairo_new_path(cr);
    Hardware::RoundedRect(cr, x + 6.5, y + 6.5, w - 13.0, h - 13.0, 2.5);
    cairo_set_source_rgba(cr, 0.80, 0.66, 0.40, 0.85);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    Hardware::Screw(cr, x + 14.0, y + h * 0.5, 4.0, 20.0, false);
    Hardware::Screw(cr, x + w - 14.0, y + h * 0.5, 4.0, 65.0, false);

    const double cx = x + w * 0.5;
    const TextLook maker{FontBook::kSansBold, 9.0, 5.2, 1.0};
    lettering_.Draw(cr, cx, y + 24.0, "QUILLMARCH", maker, Lettering::kCenter, Rgb{0.80, 0.66, 0.40});
    const TextLook title{FontBook::kSerifBold, 46.0, 7.0, 1.0};
    // Raised lettering: a dark drop below, cream face.
    lettering_.Draw(cr, cx + 0.8, y + 71.5, "TIDEPULL", title, Lettering::kCenter, Rgb{0, 0, 0}, 0.8);
    lettering_.Draw(cr, cx, y + 70.0, "TIDEPULL", title, Lettering::kCenter, kPlateInk);
    const TextLook subtitle{FontBook::kSansBold, 8.0, 3.6, 1.0};
    lettering_.Draw(cr, cx, y + 89.0, "STEREO  VALVE  COMPRESSOR", subtitle, Lettering::kCenter, Rgb{0.80, 0.66, 0.40});
    // Brass rules either side of the maker's name.
    const double mw = lettering_.Width(cr, "QUILLMARCH", maker);
    for (int side = -1; side <= 1; side += 2) {
        const double inner = cx + side * (mw * 0.5 + 10.0);
        const double outer = cx + side * (mw * 0.5 + 70.0);
        cairo_new_path(cr);
        cairo_move_to(cr, inner, y + 20.5);
        cairo_line_to(cr, outer, y + 20.5);
        cairo_set_source_rgba(cr, 0.80, 0.66, 0.40, 0.8);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
}

void PanelPainter::PaintDividers(cairo_t* cr) const
{
    // Engraved rules: a dark cut with its lit lower edge.
    auto rule = [cr](double x0, double y0, double x1, double y1) {
        cairo_new_path(cr);
        cairo_move_to(cr, x0 + 0.6, y0 + 0.6);
        cairo_line_to(cr, x1 + 0.6, y1 + 0.6);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_source_rgba(cr, kInk.r, kInk.g, kInk.b, 0.55);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    };
    rule(612.5, 24.0, 612.5, 258.0);
    rule(692.5, 24.0, 692.5, 258.0);
    rule(48.0, 160.5, 598.0, 160.5);
}

void PanelPainter::PaintMeterRecess(cairo_t* cr) const
{
    const StripPlacement& m = PanelLayout::Placement(PanelLayout::kMETER);
    struct Box {
        double x, y, w, h;
    } box{static_cast<double>(m.x), static_cast<double>(m.y), static_cast<double>(m.width),
          static_cast<double>(m.frameHeight)};
    SoftShadow::Cast(
        cr, PanelLayout::kPanelWidth, PanelLayout::kPanelHeight,
        [](cairo_t* c, const void* u) {
        const Box* b = static_cast<const Box*>(u);
        cairo_new_path(c);
        Hardware::RoundedRect(c, b->x, b->y, b->w, b->h, 6.0);
        },
        &box, 1.5, 2.5, 3, 0.55);
}

void PanelPainter::Tick(cairo_t* cr, double cx, double cy, double r0, double r1, double angleDeg, double width) const
{
    const double a = Deg2Rad(angleDeg);
    const double sx = std::sin(a), sy = -std::cos(a);
    cairo_new_path(cr);
    cairo_move_to(cr, cx + sx * r0, cy + sy * r0 + 0.7);
    cairo_line_to(cr, cx + sx * r1, cy + sy * r1 + 0.7);
    cairo_set_line_width(cr, width);
    cairo_set_source_rgba(cr, 1, 0.98, 0.92, 0.45);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx + sx * r0, cy + sy * r0);
    cairo_line_to(cr, cx + sx * r1, cy + sy * r1);
    cairo_set_line_width(cr, width);
    SetSource(cr, kInk);
    cairo_stroke(cr);
}

void PanelPainter::Ticks(cairo_t* cr, double cx, double cy, double r0, double r1, int count, double width) const
{
    for (int i = 0; i < count; ++i)
        Tick(cr, cx, cy, r0, r1, PanelLayout::KnobAngle(static_cast<double>(i) / (count - 1)), width);
}

void PanelPainter::Label(cairo_t* cr, double cx, double cy, double r, double angleDeg, const char* text,
                         const TextLook& look) const
{
    const double a = Deg2Rad(angleDeg);
    const double x = cx + r * std::sin(a), y = cy - r * std::cos(a);
    // Centre the capitals' height on the point.
    lettering_.Engrave(cr, x, y + look.size * 0.36, text, look, Lettering::kCenter, kInk);
}

void PanelPainter::Caption(cairo_t* cr, double cx, double baseline, const char* text) const
{
    lettering_.Engrave(cr, cx, baseline, text, kCaptionLook, Lettering::kCenter, kInk);
}

void PanelPainter::SeatRing(cairo_t* cr, double cx, double cy, double r) const
{
    // A faint turned ring where the knob meets the panel.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0.0, 2.0 * kPi);
    cairo_set_source_rgba(cr, kInk.r, kInk.g, kInk.b, 0.25);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void PanelPainter::PaintInput(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kIN), cy = PanelLayout::CenterY(PanelLayout::kIN);
    Ticks(cr, cx, cy, 13.5, 16.0, 13, 0.9);
    Tick(cr, cx, cy, 13.5, 17.5, PanelLayout::KnobAngle(0.0), 1.2);
    Tick(cr, cx, cy, 13.5, 17.5, PanelLayout::KnobAngle(0.5), 1.2);
    Tick(cr, cx, cy, 13.5, 17.5, PanelLayout::KnobAngle(1.0), 1.2);
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(0.0), "-18", kNumeralLook);
    Label(cr, cx, cy, 22.0, PanelLayout::KnobAngle(0.5), "0", kNumeralLook);
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(1.0), "+18", kNumeralLook);
    Caption(cr, cx, kCaptionBaseline, "INPUT ATTEN");
    lettering_.Engrave(cr, cx, cy + 19.0, "dB", kSmallLook, Lettering::kCenter, kInk);
}

void PanelPainter::PaintOutput(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kOUT), cy = PanelLayout::CenterY(PanelLayout::kOUT);
    Ticks(cr, cx, cy, 13.5, 16.0, 13, 0.9);
    Tick(cr, cx, cy, 13.5, 17.5, PanelLayout::KnobAngle(0.0), 1.2);
    Tick(cr, cx, cy, 13.5, 17.5, PanelLayout::KnobAngle(0.5), 1.2);
    Tick(cr, cx, cy, 13.5, 17.5, PanelLayout::KnobAngle(1.0), 1.2);
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(0.0), "-18", kNumeralLook);
    Label(cr, cx, cy, 22.0, PanelLayout::KnobAngle(0.5), "0", kNumeralLook);
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(1.0), "+18", kNumeralLook);
    Caption(cr, cx, kCaptionBaseline, "OUTPUT");
    lettering_.Engrave(cr, cx, cy + 19.0, "dB", kSmallLook, Lettering::kCenter, kInk);
}

void PanelPainter::PaintHighPass(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kHPF), cy = PanelLayout::CenterY(PanelLayout::kHPF);
    const double marks[] = {20, 100, 200, 300, 400, 500};
    for (double f : marks) {
        const double v = (f - 20.0) / 480.0;
        const bool end = f == 20 || f == 500;
        Tick(cr, cx, cy, 13.5, end ? 17.5 : 16.0, PanelLayout::KnobAngle(v), end ? 1.2 : 0.9);
    }
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(0.0), "20", kNumeralLook);
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(1.0), "500", kNumeralLook);
    Label(cr, cx, cy, 22.0, PanelLayout::KnobAngle((260.0 - 20.0) / 480.0), "Hz", kNumeralLook);
    lettering_.Engrave(cr, cx, kSubCaptionBaseline, "SIDECHAIN", kSmallLook, Lettering::kCenter, kInk);
    Caption(cr, cx, kCaptionBaseline, "HIGH-PASS");
}

void PanelPainter::PaintMix(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kMIX), cy = PanelLayout::CenterY(PanelLayout::kMIX);
    Ticks(cr, cx, cy, 14.5, 17.0, 11, 0.9);
    Tick(cr, cx, cy, 14.5, 18.5, PanelLayout::KnobAngle(0.0), 1.2);
    Tick(cr, cx, cy, 14.5, 18.5, PanelLayout::KnobAngle(1.0), 1.2);
    Label(cr, cx, cy, 24.5, PanelLayout::KnobAngle(0.0) - 4.0, "DRY", kNumeralLook);
    Label(cr, cx, cy, 24.5, PanelLayout::KnobAngle(1.0) + 4.0, "WET", kNumeralLook);
    Label(cr, cx, cy, 23.0, PanelLayout::KnobAngle(0.5), "50", kNumeralLook);
    Caption(cr, cx, cy - 33.0, "MIX");
}

void PanelPainter::PaintAcThreshold(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kAC), cy = PanelLayout::CenterY(PanelLayout::kAC);
    Ticks(cr, cx, cy, 26.0, 28.5, 21, 0.7);
    Ticks(cr, cx, cy, 26.0, 30.0, 11, 1.0);
    const char* labels[] = {"0", "10", "20", "30", "40", "50"};
    for (int i = 0; i < 6; ++i)
        Label(cr, cx, cy, 35.5, PanelLayout::KnobAngle(i / 5.0), labels[i], kNumeralLook);
    Caption(cr, cx, kCaptionBaseline, "AC THRESHOLD");
}

void PanelPainter::PaintDcThreshold(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kDC), cy = PanelLayout::CenterY(PanelLayout::kDC);
    Ticks(cr, cx, cy, 26.0, 30.0, 10, 1.0);
    Ticks(cr, cx, cy, 26.0, 28.5, 19, 0.6);
    const char* labels[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    for (int i = 0; i < 10; ++i)
        Label(cr, cx, cy, 35.0, PanelLayout::KnobAngle(i / 9.0), labels[i], kNumeralLook);
    lettering_.DrawOnArc(cr, cx, cy, 42.5, -47.0, "COMPRESSION", kSmallLook, kInk, 0.45);
    lettering_.DrawOnArc(cr, cx, cy, 42.5, 47.0, "LIMITING", kSmallLook, kInk, 0.45);
    Caption(cr, cx, kCaptionBaseline, "DC THRESHOLD");
}

void PanelPainter::PaintRelease(cairo_t* cr) const
{
    const double cx = PanelLayout::CenterX(PanelLayout::kREL), cy = PanelLayout::CenterY(PanelLayout::kREL);
    const char* numbers[] = {"1", "2", "3", "4", "5", "6"};
    const char* times[] = {"300 ms", "800 ms", "2 s", "5 s", "AUTO 1", "AUTO 2"};
    SeatRing(cr, cx, cy, 16.0);
    for (int p = 0; p < PanelLayout::kReleasePositions; ++p) {
        const double a = PanelLayout::ReleaseAngle(p);
        Tick(cr, cx, cy, 29.5, 33.0, a, 1.3);
        Label(cr, cx, cy, 38.5, a, numbers[p], kNumeralLook);
        // Times sit beyond the numerals: outward to the side on the flanks,
        // above them near the top.
        const double rad = Deg2Rad(a);
        if (std::fabs(a) < 30.0) {
            Label(cr, cx, cy, 48.5, a, times[p], kSmallLook);
        } else {
            const double r = 44.5;
            const double x = cx + r * std::sin(rad), y = cy - r * std::cos(rad) + kSmallLook.size * 0.36;
            lettering_.Engrave(cr, x, y, times[p], kSmallLook, a < 0 ? Lettering::kRight : Lettering::kLeft, kInk);
        }
    }
    Caption(cr, cx, kCaptionBaseline, "RELEASE");
}

void PanelPainter::PaintSwitches(cairo_t* cr) const
{
    const double sx = PanelLayout::CenterX(PanelLayout::kSC);
    const double bx = PanelLayout::CenterX(PanelLayout::kBY);
    lettering_.Engrave(cr, sx, kSubCaptionBaseline, "EXTERNAL", kSmallLook, Lettering::kCenter, kInk);
    Caption(cr, sx, kCaptionBaseline, "SIDECHAIN");
    lettering_.Engrave(cr, bx, kSubCaptionBaseline, "OFF = BYPASS", kSmallLook, Lettering::kCenter, kInk);
    Caption(cr, bx, kCaptionBaseline, "ENGAGE");
}
