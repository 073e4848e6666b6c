#pragma once

#include "PlotCanvas.h"
#include "PlotFrame.h"

#include <cstdint>
#include <string>
#include <vector>

class TransferCurve;

// The transfer curve drawn as output level against input level, both in dB
// on one scale, with the unity line, the threshold and the knee marked.
class CurvePlot {
public:
    static constexpr int kDefaultWidth = 640;
    static constexpr int kDefaultHeight = 480;
    static constexpr PlotCanvas::Colour kCurveColour{0.91, 0.40, 0.05, 1.0};

    // Both axes run from -60 dB (lower when the knee reaches below -50 dB) to +10 dB.
    static PlotFrame frameFor(int width, int height, const TransferCurve& curve);
    static bool draw(const TransferCurve& curve, int width, int height, std::vector<uint8_t>& png, std::string& error);
};
