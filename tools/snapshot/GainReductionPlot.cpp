#include "GainReductionPlot.h"

#include "GainReductionTrace.h"
#include "PlotAxes.h"

#include <cmath>

namespace {
constexpr double kLevelStepDb = 10.0;
constexpr double kRangeDb = 60.0;
constexpr PlotCanvas::Colour kReductionFill{0.85, 0.10, 0.10, 0.14};

// A grid step in seconds that gives at most a dozen lines.
double timeStep(double seconds)
{
    static const double steps[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600};
    for (double step : steps)
        if (seconds / step <= 12.0)
            return step;
    return 7200.0;
}

const char* timeFormat(double step)
{
    return step < 0.1 ? "%.2f" : (step < 1.0 ? "%.1f" : "%.0f");
}

void drawSeries(const PlotCanvas& canvas, const PlotFrame& frame, const GainReductionTrace& run,
                const std::vector<double>& db, bool fromTop, const PlotCanvas::Colour& colour, double lineWidth)
{
    cairo_t* cr = canvas.cairo();
    for (size_t i = 0; i < db.size(); ++i) {
        const double x = frame.x(run.timeOf(i));
        const double y = frame.yInside(fromTop ? frame.yMax() - db[i] : db[i]);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    canvas.use(colour);
    cairo_set_line_width(cr, lineWidth);
    cairo_stroke(cr);
}

void legendEntry(const PlotCanvas& canvas, double& x, double y, const std::string& name,
                 const PlotCanvas::Colour& colour)
{
    canvas.line(x, y, x + 22.0, y, colour, 2.5);
    x += 28.0;
    canvas.text(name, x, y, 0.0, 0.5, PlotAxes::kLabelSize, PlotAxes::kInk);
    x += canvas.textWidth(name, PlotAxes::kLabelSize) + 18.0;
}
}   // namespace

PlotFrame GainReductionPlot::frameFor(int width, int height, const GainReductionTrace& trace)
{
    const double loudest = trace.maxLevelDb();
    const double top = std::isfinite(loudest) && loudest > 0.0 ? std::ceil(loudest / kLevelStepDb) * kLevelStepDb : 0.0;
    const double seconds = trace.seconds() > 0.0 ? trace.seconds() : 1.0;
    return PlotFrame(64.0, 56.0, width - 64.0, height - 50.0, 0.0, seconds, -kRangeDb, top);
}

bool GainReductionPlot::draw(const GainReductionTrace& run, const std::string& title, int width, int height,
                             std::vector<uint8_t>& png, std::string& error)
{
    PlotCanvas canvas(width, height);
    if (!canvas.ok()) {
        error = "cannot make a " + std::to_string(width) + " x " + std::to_string(height) + " image";
        return false;
    }
    cairo_t* cr = canvas.cairo();
    const PlotFrame frame = frameFor(width, height, run);
    const double step = timeStep(frame.xMax());
    PlotAxes::drawGrid(
        canvas, frame,
        PlotAxes::Marks{step, kLevelStepDb, timeFormat(step), "%.0f", "time (s)",
                        "level (dBFS, RMS over " + PlotAxes::label("%.0f", run.windowSeconds() * 1000.0) + " ms)"});

    // The right axis: gain reduction, 0 dB at the top edge.
    for (int i = PlotAxes::firstMultiple(frame.yMin(), kLevelStepDb);
         i <= PlotAxes::lastMultiple(frame.yMax(), kLevelStepDb); ++i) {
        const double y = std::floor(frame.y(i * kLevelStepDb)) + 0.5;
        canvas.line(frame.right(), y, frame.right() + 4.0, y, kReductionColour, 1.0);
        canvas.text(PlotAxes::label("%.0f", frame.yMax() - i * kLevelStepDb), frame.right() + 7.0, y, 0.0, 0.5,
                    PlotAxes::kLabelSize, kReductionColour);
    }
    canvas.upwardText("gain reduction (dB)", frame.right() + 46.0, 0.5 * (frame.top() + frame.bottom()),
                      PlotAxes::kTitleSize, kReductionColour);

    cairo_save(cr);
    cairo_rectangle(cr, frame.left(), frame.top(), frame.right() - frame.left(), frame.bottom() - frame.top());
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (run.windowCount() > 0) {
        // The area between the top edge and the reduction curve.
        cairo_move_to(cr, frame.x(run.timeOf(0)), frame.top());
        for (size_t i = 0; i < run.windowCount(); ++i)
            cairo_line_to(cr, frame.x(run.timeOf(i)), frame.yInside(frame.yMax() - run.reductionDb()[i]));
        cairo_line_to(cr, frame.x(run.timeOf(run.windowCount() - 1)), frame.top());
        cairo_close_path(cr);
        canvas.use(kReductionFill);
        cairo_fill(cr);

        drawSeries(canvas, frame, run, run.inputDb(), false, kInputColour, 1.5);
        drawSeries(canvas, frame, run, run.outputDb(), false, kOutputColour, 1.5);
        drawSeries(canvas, frame, run, run.reductionDb(), true, kReductionColour, 1.5);
    }
    cairo_restore(cr);
    PlotAxes::drawBorder(canvas, frame);

    canvas.text(title, 14.0, 10.0, 0.0, 0.0, canvas.fittedSize(title, PlotAxes::kTitleSize, width - 28.0, true),
                PlotAxes::kInk, true);
    double x = 14.0;
    legendEntry(canvas, x, 36.0, "input", kInputColour);
    legendEntry(canvas, x, 36.0, "output", kOutputColour);
    legendEntry(canvas, x, 36.0, "gain reduction", kReductionColour);
    return canvas.encodePng(png, error);
}
