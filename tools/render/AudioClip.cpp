#include "AudioClip.h"

#include <cmath>
#include <limits>

AudioClip::AudioClip(int channels, long frames, double sampleRate)
    : channels_(channels > 0 ? channels : 0, std::vector<double>(frames > 0 ? frames : 0, 0.0)),
      sampleRate_(sampleRate)
{
}

double AudioClip::peakDb() const
{
    double peak = 0.0;
    for (const auto& samples : channels_)
        for (double s : samples)
            peak = std::fmax(peak, std::fabs(s));
    return toDb(peak);
}

double AudioClip::rmsDb() const
{
    double sum = 0.0;
    long count = 0;
    for (const auto& samples : channels_) {
        for (double s : samples)
            sum += s * s;
        count += static_cast<long>(samples.size());
    }
    return toDb(count > 0 ? std::sqrt(sum / count) : 0.0);
}

double AudioClip::toDb(double linear)
{
    if (!(linear > 0.0))
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(linear);
}
