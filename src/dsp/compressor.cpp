#include "dsp/compressor.h"

#include <cmath>

compressor::compressor()
{
    // The base already ran init; it runs again now that our part exists.
    init(0, 5.0, 50.0, 0.0, 44100.0);
    gainDb = 0.0;
    knee = 0.0;
    ratio = 4.0;
    threshold = 0.0;
    kneeWidth = -0.0;   // what threshold * knee * -1 gives for 0 and 0
    kneeLow = 0.0;
    kneeHigh = 0.0;
    slope = 0.75;
}

double compressor::process(double x)
{
    detect(x);
    computeGain();
    return x * portableMath::exp(gainDb * kDbToLinear);
}
