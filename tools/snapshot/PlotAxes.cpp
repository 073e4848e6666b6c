#include "PlotAxes.h"

#include <cmath>
#include <cstdio>

namespace {
// How many grid steps apart labels must stand so that neighbours never touch.
int labelStride(double pixelsPerStep, double labelExtent)
{
    int stride = 1;
    while (stride < 1024 && pixelsPerStep * stride < labelExtent + 10.0)
        stride *= 2;
    return stride;
}
}   // namespace

int PlotAxes::firstMultiple(double low, double step)
{
    // A hair of tolerance: a range end computed as k * step must count as one.
    return static_cast<int>(std::ceil(low / step - 1e-9));
}

int PlotAxes::lastMultiple(double high, double step)
{
    return static_cast<int>(std::floor(high / step + 1e-9));
}

std::string PlotAxes::label(const char* format, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value + 0.0);
    std::string s = text;
    // A tiny negative rounds to "-0" or "-0.0"; it is zero.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

void PlotAxes::drawGrid(const PlotCanvas& canvas, const PlotFrame& frame, const Marks& marks)
{
    const int x0 = firstMultiple(frame.xMin(), marks.xStep);
    const int x1 = lastMultiple(frame.xMax(), marks.xStep);
    const int y0 = firstMultiple(frame.yMin(), marks.yStep);
    const int y1 = lastMultiple(frame.yMax(), marks.yStep);

    double widest = 0.0;
    for (int i = x0; i <= x1; ++i)
        widest = std::fmax(widest, canvas.textWidth(label(marks.xFormat, i * marks.xStep), kLabelSize));
    const int xStride = labelStride(frame.x(marks.xStep) - frame.x(0.0), widest);
    const int yStride = labelStride(frame.y(0.0) - frame.y(marks.yStep), kLabelSize);

    for (int i = x0; i <= x1; ++i) {
        // Half-pixel positions keep one-pixel lines sharp.
        const double x = std::floor(frame.x(i * marks.xStep)) + 0.5;
        canvas.line(x, frame.top(), x, frame.bottom(), kGrid, 1.0);
        if (i % xStride == 0) {
            canvas.line(x, frame.bottom(), x, frame.bottom() + 4.0, kInk, 1.0);
            canvas.text(label(marks.xFormat, i * marks.xStep), x, frame.bottom() + 7.0, 0.5, 0.0, kLabelSize, kInk);
        }
    }
    for (int i = y0; i <= y1; ++i) {
        const double y = std::floor(frame.y(i * marks.yStep)) + 0.5;
        canvas.line(frame.left(), y, frame.right(), y, kGrid, 1.0);
        if (i % yStride == 0) {
            canvas.line(frame.left() - 4.0, y, frame.left(), y, kInk, 1.0);
            canvas.text(label(marks.yFormat, i * marks.yStep), frame.left() - 7.0, y, 1.0, 0.5, kLabelSize, kInk);
        }
    }

    canvas.text(marks.xTitle, 0.5 * (frame.left() + frame.right()), frame.bottom() + 26.0, 0.5, 0.0, kTitleSize, kInk);
    canvas.upwardText(marks.yTitle, frame.left() - 46.0, 0.5 * (frame.top() + frame.bottom()), kTitleSize, kInk);
}

void PlotAxes::drawBorder(const PlotCanvas& canvas, const PlotFrame& frame)
{
    cairo_t* cr = canvas.cairo();
    cairo_save(cr);
    canvas.use(kInk);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, std::floor(frame.left()) + 0.5, std::floor(frame.top()) + 0.5,
                    std::floor(frame.right()) - std::floor(frame.left()),
                    std::floor(frame.bottom()) - std::floor(frame.top()));
    cairo_stroke(cr);
    cairo_restore(cr);
}
