#pragma once

#include "PlotCanvas.h"
#include "PlotFrame.h"

#include <cstdint>
#include <string>
#include <vector>

class GainReductionTrace;

// Input level, output level and gain reduction against time. Levels read on
// the left axis in dBFS; the gain reduction hangs from the top edge on the
// same dB scale and reads on the right axis.
class GainReductionPlot {
public:
    static constexpr int kDefaultWidth = 1000;
    static constexpr int kDefaultHeight = 400;
    static constexpr PlotCanvas::Colour kInputColour{0.55, 0.57, 0.62, 1.0};
    static constexpr PlotCanvas::Colour kOutputColour{0.12, 0.42, 0.80, 1.0};
    static constexpr PlotCanvas::Colour kReductionColour{0.85, 0.10, 0.10, 1.0};

    // x in seconds over the whole run; y in dBFS from -60 to 0 dB, or up to the
    // next 10 dB above the loudest window.
    static PlotFrame frameFor(int width, int height, const GainReductionTrace& trace);
    static bool draw(const GainReductionTrace& trace, const std::string& title, int width, int height,
                     std::vector<uint8_t>& png, std::string& error);
};
