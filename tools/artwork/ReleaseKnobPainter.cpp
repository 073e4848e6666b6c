#include "ReleaseKnobPainter.h"

#include <cmath>

#include "PanelLayout.h"
#include "Rgb.h"
#include "SoftShadow.h"

namespace {

const double kPi = 3.14159265358979323846;

struct Pose {
    double cx, cy, angleRad;
};

const double kTip = 27.5;   // reach of the pointer from the centre
const double kHub = 13.5;   // radius of the round tail

// The outline in the knob's own frame, pointing up.
void TraceBody(cairo_t* cr, const void* user)
{
    const Pose* p = static_cast<const Pose*>(user);
    cairo_save(cr);
    cairo_translate(cr, p->cx, p->cy);
    cairo_rotate(cr, p->angleRad);
    cairo_new_path(cr);
    cairo_arc(cr, 0.0, -kTip + 2.6, 2.6, kPi, 2.0 * kPi);
    cairo_curve_to(cr, 4.6, -17.0, kHub, -8.0, kHub, 1.5);
    cairo_arc(cr, 0.0, 1.5, kHub, 0.0, kPi);
    cairo_curve_to(cr, -kHub, -8.0, -4.6, -17.0, -2.6, -kTip + 2.6);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void PaintFrame(cairo_t* cr, int w, int h, double angleDeg)
{
    const Pose pose{w * 0.5, h * 0.5, angleDeg * kPi / 180.0};
    SoftShadow::Cast(cr, w, h, TraceBody, &pose, 1.0, 1.9, 1, 0.6);

    // Body: bakelite lit from the upper left.
    TraceBody(cr, &pose);
    cairo_pattern_t* body = cairo_pattern_create_linear(pose.cx - 22.0, pose.cy - 22.0, pose.cx + 22.0, pose.cy + 22.0);
    AddStop(body, 0.0, Rgb{0.30, 0.29, 0.28});
    AddStop(body, 0.5, Rgb{0.10, 0.095, 0.09});
    AddStop(body, 1.0, Rgb{0.02, 0.02, 0.02});
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_pattern_t* edge = cairo_pattern_create_linear(pose.cx - 20.0, pose.cy - 20.0, pose.cx + 20.0, pose.cy + 20.0);
    cairo_pattern_add_color_stop_rgba(edge, 0.0, 1, 1, 1, 0.40);
    cairo_pattern_add_color_stop_rgba(edge, 0.5, 1, 1, 1, 0.06);
    cairo_pattern_add_color_stop_rgba(edge, 1.0, 0, 0, 0, 0.6);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);

    // The raised ridge along the pointer, lit on its upper-left flank.
    const double sx = std::sin(pose.angleRad), sy = -std::cos(pose.angleRad);
    const double nx = -sy, ny = sx;
    const double facing = -(nx + ny) * 0.7071;
    for (int side = -1; side <= 1; side += 2) {
        const double lit = facing * side;
        cairo_new_path(cr);
        cairo_move_to(cr, pose.cx + nx * side * 2.6 + sx * 6.0, pose.cy + ny * side * 2.6 + sy * 6.0);
        cairo_line_to(cr, pose.cx + nx * side * 1.6 + sx * (kTip - 4.0), pose.cy + ny * side * 1.6 + sy * (kTip - 4.0));
        cairo_set_line_width(cr, 1.2);
        if (lit > 0)
            cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.18 * lit + 0.04);
        else
            cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.30 * -lit + 0.05);
        cairo_stroke(cr);
    }

    // Hub dome.
    cairo_new_path(cr);
    cairo_arc(cr, pose.cx, pose.cy, 8.0, 0.0, 2.0 * kPi);
    cairo_pattern_t* dome = cairo_pattern_create_radial(pose.cx - 3.0, pose.cy - 3.5, 0.5, pose.cx, pose.cy, 8.0);
    cairo_pattern_add_color_stop_rgba(dome, 0.0, 1, 1, 1, 0.28);
    cairo_pattern_add_color_stop_rgba(dome, 0.6, 1, 1, 1, 0.04);
    cairo_pattern_add_color_stop_rgba(dome, 1.0, 0, 0, 0, 0.25);
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);

    // Cream index inlaid along the ridge.
    cairo_new_path(cr);
    cairo_move_to(cr, pose.cx + sx * 10.0, pose.cy + sy * 10.0);
    cairo_line_to(cr, pose.cx + sx * (kTip - 2.6), pose.cy + sy * (kTip - 2.6));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.8);
    cairo_set_source_rgb(cr, 0.97, 0.94, 0.84);
    cairo_stroke(cr);
}

}   // namespace

void ReleaseKnobPainter::Paint(const Strip& strip)
{
    for (int k = 0; k < strip.Frames(); ++k) {
        cairo_t* cr = strip.OpenFrame(k);
        PaintFrame(cr, strip.Width(), strip.FrameHeight(), PanelLayout::ReleaseAngle(k));
        cairo_destroy(cr);
    }
}
