#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Two channels of audio in 64-bit samples.
class StereoSignal {
public:
    StereoSignal() = default;
    explicit StereoSignal(size_t frames) : left(frames, 0.0), right(frames, 0.0) {}

    // Tones under a pumping envelope plus a little noise, different on the two
    // channels; every sample is exactly representable as a 32-bit float, so
    // 32-bit and 64-bit hosts feed the same values.
    static StereoSignal Music(size_t frames, double sampleRate, double peak, uint32_t seed);

    size_t Frames() const { return left.size(); }
    double* Channel(int ch) { return ch == 0 ? left.data() : right.data(); }
    const double* Channel(int ch) const { return ch == 0 ? left.data() : right.data(); }
    double Rms() const;
    bool AllFinite() const;

    std::vector<double> left;
    std::vector<double> right;
};
