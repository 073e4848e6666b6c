#pragma once

#include "PlotCanvas.h"
#include "PlotFrame.h"

#include <string>

// Grid, tick labels, axis titles and border of a plot frame.
class PlotAxes {
public:
    struct Marks {
        double xStep;   // grid spacing in axis units
        double yStep;
        const char* xFormat;   // printf pattern of a tick label
        const char* yFormat;
        std::string xTitle;
        std::string yTitle;
    };

    static constexpr PlotCanvas::Colour kInk{0.13, 0.13, 0.15, 1.0};
    static constexpr PlotCanvas::Colour kGrid{0.88, 0.89, 0.91, 1.0};
    static constexpr double kLabelSize = 11.0;
    static constexpr double kTitleSize = 12.0;

    // Drawn first: the grid lies under the data.
    static void drawGrid(const PlotCanvas& canvas, const PlotFrame& frame, const Marks& marks);
    // Drawn last: the border over the data's edges.
    static void drawBorder(const PlotCanvas& canvas, const PlotFrame& frame);

    // Tick label text; never "-0".
    static std::string label(const char* format, double value);
    // Multiples of `step` from `low` to `high`, both included when they are multiples.
    static int firstMultiple(double low, double step);
    static int lastMultiple(double high, double step);
};
