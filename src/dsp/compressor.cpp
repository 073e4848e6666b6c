#include "dsp/compressor.h"

#include <cmath>

namespace {
// ln(x) * this = 20 log10(x); exp(dB * the other) = 10^(dB / 20).
const double kLnToDb = 8.685889638065037;
const double kDbToLn = 0.1151292546497;
}

compressor::compressor()
{
    // The base already ran init; it runs again now that our part exists.
    init(0, 5.0, 50.0, 0.0, 44100.0);
    gainDb = 0.0;
    knee = 0.0;
    ratio = 4.0;
    threshold = 0.0;
    kneeWidth = -0.0;  // what threshold * knee * -1 gives for 0 and 0
    kneeLow = 0.0;
    kneeHigh = 0.0;
    slope = 0.75;
}

double compressor::process(double x)
{
    detect(x);
    computeGain();
    return x * std::exp(gainDb * kDbToLn);
}

double compressor::computeGain()
{
    // Re-derived every step so a ratio written any other way cannot leave it stale.
    slope = 1.0 - 1.0 / ratio;
    // An envelope of 0 gives -inf: no gain when compressing, -inf when expanding.
    const double e = std::log(std::fabs(envelope)) * kLnToDb;

    double g;
    if (kneeWidth > 0.0 && e > kneeLow && e < kneeHigh) {
        // Quadratic knee, -slope * (e - kneeLow)^2 / (2 * kneeWidth); it meets the
        // straight line at both bounds. The scaled slope stays local.
        const double s = ((e - kneeLow) / kneeWidth) * 0.5 * slope;
        g = (kneeLow - e) * s;
    } else {
        g = (threshold - e) * slope;
        // Never a boost; also maps NaN (ratio 1 at an envelope of 0: inf * 0) to 0.
        if (!(g < 0.0))
            g = 0.0;
    }
    gainDb = g;
    return g;
}

void compressor::deriveKnee()
{
    kneeWidth = threshold * knee * (-1.0);
    kneeLow = threshold - kneeWidth * 0.5;
    kneeHigh = threshold + kneeWidth * 0.5;
}

void compressor::setThreshold(double dB)
{
    threshold = dB;
    deriveKnee();
}

void compressor::setRatio(double r)
{
    deriveKnee();
    ratio = r;
    slope = 1.0 - 1.0 / r;
}

void compressor::setKnee(double k)
{
    knee = k;
    deriveKnee();
}
