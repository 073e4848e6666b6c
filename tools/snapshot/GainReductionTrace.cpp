#include "GainReductionTrace.h"

#include "AudioClip.h"

#include <algorithm>
#include <cmath>
#include <limits>

GainReductionTrace::GainReductionTrace(double sampleRate, long frames, double windowSeconds)
    : sampleRate_(sampleRate),
      frames_(frames),
      windowFrames_(std::max(1L, static_cast<long>(std::lround(sampleRate * windowSeconds))))
{
    const long count = frames > 0 ? (frames + windowFrames_ - 1) / windowFrames_ : 0;
    reduction_.assign(static_cast<size_t>(count), 0.0);
}

void GainReductionTrace::addReduction(long lastFrame, double reductionDb)
{
    if (lastFrame < 0 || lastFrame >= frames_)
        return;
    double& kept = reduction_[static_cast<size_t>(lastFrame / windowFrames_)];
    kept = std::fmax(kept, reductionDb);
}

std::vector<double> GainReductionTrace::levels(const AudioClip& clip) const
{
    std::vector<double> db(reduction_.size(), -std::numeric_limits<double>::infinity());
    for (size_t w = 0; w < db.size(); ++w) {
        const long begin = static_cast<long>(w) * windowFrames_;
        const long end = std::min(std::min(begin + windowFrames_, frames_), clip.frameCount());
        double sum = 0.0;
        long count = 0;
        for (int c = 0; c < clip.channelCount(); ++c) {
            const std::vector<double>& samples = clip.channel(c);
            for (long i = begin; i < end; ++i)
                sum += samples[i] * samples[i];
            count += std::max(0L, end - begin);
        }
        if (count > 0)
            db[w] = AudioClip::toDb(std::sqrt(sum / count));
    }
    return db;
}

void GainReductionTrace::measureLevels(const AudioClip& input, const AudioClip& output)
{
    input_ = levels(input);
    output_ = levels(output);
}

double GainReductionTrace::timeOf(size_t i) const
{
    const double begin = static_cast<double>(i) * windowFrames_;
    const double end = std::min(begin + windowFrames_, static_cast<double>(frames_));
    return 0.5 * (begin + end) / sampleRate_;
}

double GainReductionTrace::maxReductionDb() const
{
    double most = 0.0;
    for (double r : reduction_)
        most = std::fmax(most, r);
    return most;
}

double GainReductionTrace::maxLevelDb() const
{
    double most = -std::numeric_limits<double>::infinity();
    for (const std::vector<double>* v : {&input_, &output_})
        for (double db : *v)
            if (std::isfinite(db))
                most = std::fmax(most, db);
    return most;
}
