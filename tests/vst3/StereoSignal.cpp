#include "StereoSignal.h"

#include <cmath>

StereoSignal StereoSignal::Music(size_t frames, double sampleRate, double peak, uint32_t seed)
{
    StereoSignal s(frames);
    const double twoPi = 6.283185307179586;
    uint32_t state = seed ? seed : 1u;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        // Four bursts a second, so the detector attacks and releases.
        const double envelope = 0.25 + 0.75 * std::fabs(std::sin(twoPi * 2.0 * t));
        state = state * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(state >> 8) / 8388608.0 - 1.0) * 0.05;
        const double l = std::sin(twoPi * 110.0 * t) * 0.6 + std::sin(twoPi * 1234.5 * t) * 0.3 + noise;
        const double r = std::sin(twoPi * 165.0 * t + 0.5) * 0.6 + std::sin(twoPi * 2345.6 * t) * 0.3 - noise;
        s.left[i] = static_cast<float>(peak * envelope * l);
        s.right[i] = static_cast<float>(peak * envelope * r);
    }
    return s;
}

double StereoSignal::Rms() const
{
    if (left.empty())
        return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < left.size(); ++i)
        sum += left[i] * left[i] + right[i] * right[i];
    return std::sqrt(sum / (2.0 * static_cast<double>(left.size())));
}

bool StereoSignal::AllFinite() const
{
    for (size_t i = 0; i < left.size(); ++i) {
        if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
            return false;
    }
    return true;
}
