#include "CurvePlot.h"

#include "PlotAxes.h"
#include "TransferCurve.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double kTopDb = 10.0;
constexpr double kLowestBottomDb = -60.0;
constexpr double kStepDb = 10.0;

constexpr PlotCanvas::Colour kUnity{0.55, 0.56, 0.60, 1.0};
constexpr PlotCanvas::Colour kThreshold{0.16, 0.36, 0.78, 1.0};
constexpr PlotCanvas::Colour kKnee{0.84, 0.90, 0.99, 1.0};

std::string format(const char* pattern, double a, double b = 0.0, double c = 0.0, double d = 0.0)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a + 0.0, b + 0.0, c + 0.0, d + 0.0);
    return text;
}

void legendEntry(const PlotCanvas& canvas, double& x, double y, const std::string& name,
                 const PlotCanvas::Colour& colour, bool dashed, bool block)
{
    if (block) {
        canvas.use(colour);
        cairo_rectangle(canvas.cairo(), x, y - 6.0, 22.0, 12.0);
        cairo_fill(canvas.cairo());
    } else {
        canvas.line(x, y, x + 22.0, y, colour, dashed ? 1.5 : 2.5, dashed);
    }
    x += 28.0;
    canvas.text(name, x, y, 0.0, 0.5, PlotAxes::kLabelSize, PlotAxes::kInk);
    x += canvas.textWidth(name, PlotAxes::kLabelSize) + 18.0;
}
}   // namespace

PlotFrame CurvePlot::frameFor(int width, int height, const TransferCurve& curve)
{
    const double lowest = curve.hasKnee() ? curve.kneeLowDb() : curve.thresholdDb();
    const double bottom = std::fmin(kLowestBottomDb, std::floor((lowest - kStepDb) / kStepDb) * kStepDb);
    return PlotFrame(64.0, 56.0, width - 20.0, height - 50.0, bottom, kTopDb, bottom, kTopDb);
}

bool CurvePlot::draw(const TransferCurve& curve, int width, int height, std::vector<uint8_t>& png, std::string& error)
{
    PlotCanvas canvas(width, height);
    if (!canvas.ok()) {
        error = "cannot make a " + std::to_string(width) + " x " + std::to_string(height) + " image";
        return false;
    }
    cairo_t* cr = canvas.cairo();
    const PlotFrame frame = frameFor(width, height, curve);
    const double low = frame.xMin();
    const double high = frame.xMax();

    if (curve.hasKnee()) {
        canvas.use(kKnee);
        const double x0 = frame.x(curve.kneeLowDb());
        const double x1 = frame.x(curve.kneeHighDb());
        cairo_rectangle(cr, x0, frame.top(), x1 - x0, frame.bottom() - frame.top());
        cairo_fill(cr);
    }
    PlotAxes::drawGrid(
        canvas, frame,
        PlotAxes::Marks{kStepDb, kStepDb, "%.0f", "%.0f", "input level at the detector (dB)", "output level (dB)"});
    // Inside the band's left edge; the threshold line runs down its middle.
    const double kneeLeft = frame.x(curve.kneeLowDb());
    const double kneeRoom = frame.x(curve.thresholdDb()) - kneeLeft;
    if (curve.hasKnee() && kneeRoom > canvas.textWidth("knee", PlotAxes::kLabelSize) + 10.0)
        canvas.text("knee", kneeLeft + 5.0, frame.top() + 6.0, 0.0, 0.0, PlotAxes::kLabelSize, kThreshold);

    cairo_save(cr);
    cairo_rectangle(cr, frame.left(), frame.top(), frame.right() - frame.left(), frame.bottom() - frame.top());
    cairo_clip(cr);
    canvas.line(frame.x(low), frame.y(low), frame.x(high), frame.y(high), kUnity, 1.5, true);

    const double thresholdX = frame.x(curve.thresholdDb());
    canvas.line(thresholdX, frame.top(), thresholdX, frame.bottom(), kThreshold, 1.5, true);
    const std::string thresholdText = format("threshold %.1f dB", curve.thresholdDb());
    const double thresholdTextWidth = canvas.textWidth(thresholdText, PlotAxes::kLabelSize);
    const bool fitsRight = thresholdX + 6.0 + thresholdTextWidth < frame.right() - 4.0;
    canvas.text(thresholdText, fitsRight ? thresholdX + 6.0 : thresholdX - 6.0, frame.bottom() - 8.0,
                fitsRight ? 0.0 : 1.0, 1.0, PlotAxes::kLabelSize, kThreshold);

    // One point per pixel column: the knee is a parabola, smooth at this density.
    canvas.use(kCurveColour);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const int first = static_cast<int>(std::floor(frame.left()));
    const int last = static_cast<int>(std::ceil(frame.right()));
    for (int px = first; px <= last; ++px) {
        const double level = frame.xValue(px);
        const double y = frame.y(curve.outputDb(level));
        if (px == first)
            cairo_move_to(cr, px, y);
        else
            cairo_line_to(cr, px, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    PlotAxes::drawBorder(canvas, frame);

    const std::string knee = curve.hasKnee() ? format("knee %.1f to %.1f dB", curve.kneeLowDb(), curve.kneeHighDb())
                                             : std::string("hard knee");
    const std::string title =
        format("Tidepull static curve: threshold %.1f dB, ratio %.2f:1, ", curve.thresholdDb(), curve.ratio()) + knee;
    canvas.text(title, 14.0, 10.0, 0.0, 0.0, canvas.fittedSize(title, PlotAxes::kTitleSize, width - 28.0, true),
                PlotAxes::kInk, true);
    double x = 14.0;
    const double legendY = 36.0;
    legendEntry(canvas, x, legendY, "transfer curve", kCurveColour, false, false);
    legendEntry(canvas, x, legendY, "unity (1:1)", kUnity, true, false);
    legendEntry(canvas, x, legendY, "threshold", kThreshold, true, false);
    if (curve.hasKnee())
        legendEntry(canvas, x, legendY, "knee", kKnee, false, true);

    return canvas.encodePng(png, error);
}
