#pragma once

#include <vector>

// Audio held in memory: one vector of samples per channel, all the same length.
class AudioClip {
public:
    AudioClip() = default;
    AudioClip(int channels, long frames, double sampleRate);

    int channelCount() const { return static_cast<int>(channels_.size()); }
    long frameCount() const { return channels_.empty() ? 0 : static_cast<long>(channels_[0].size()); }
    double sampleRate() const { return sampleRate_; }
    double seconds() const { return sampleRate_ > 0 ? frameCount() / sampleRate_ : 0.0; }

    std::vector<double>& channel(int c) { return channels_[c]; }
    const std::vector<double>& channel(int c) const { return channels_[c]; }

    // Levels over all channels in dBFS; -infinity for silence.
    double peakDb() const;
    double rmsDb() const;

    static double toDb(double linear);

private:
    std::vector<std::vector<double>> channels_;
    double sampleRate_ = 0.0;
};
