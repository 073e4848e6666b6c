#pragma once

#include <cstdint>
#include <vector>

// A short equal-gain crossfade between a dry signal and the processed one,
// so that a switch between the two does not jump. The ramp is an S curve
// (flat at both ends, like a raised cosine) made of + - * / only. It keeps
// the dry samples of a chunk itself, in storage made with it: the
// processing may write over its own input, and the audio thread does not
// allocate.
class Crossfade {
public:
    static constexpr int32_t kChannels = 2;
    static constexpr int32_t kChunk = 256;
    static constexpr double kSeconds = 0.005;

    // The side the output stands on, or heads for while fading: true for
    // the processed signal.
    bool Wet() const { return wet; }
    bool Fading() const { return step != (wet ? length : 0); }
    // Samples until the output stands on its side.
    int32_t Remaining() const { return wet ? length - step : step; }

    // Stand on a side at once; a fade underway ends.
    void Jump(bool toWet);
    // Head for a side from where the output stands; a fade underway turns
    // round from where it is.
    void Head(bool toWet, double sampleRate);

    // The dry input of the next n samples (n <= kChunk, n <= Remaining()).
    void KeepDry(const double* const* inputs, int32_t n);
    // The processed output of those n samples in, the blend out.
    void Blend(double* const* outputs, int32_t n);

private:
    // Apart from the object: the plug's state that every block reads stays together.
    std::vector<double> dry = std::vector<double>(kChannels * kChunk);
    int32_t length = 1;
    int32_t step = 1;   // 0 dry .. length processed
    bool wet = true;
};
