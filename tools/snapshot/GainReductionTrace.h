#pragma once

#include <cstddef>
#include <vector>

class AudioClip;

// Levels and gain reduction of one run through the plug, in consecutive
// windows of equal length (the last one may be shorter).
class GainReductionTrace {
public:
    GainReductionTrace(double sampleRate, long frames, double windowSeconds);

    // The reduction in dB at the end of a block; a window keeps the largest
    // of the blocks that end in it. Blocks must not be longer than a window.
    void addReduction(long lastFrame, double reductionDb);
    // RMS over all channels of each window, in dBFS; -infinity for silence.
    void measureLevels(const AudioClip& input, const AudioClip& output);

    size_t windowCount() const { return reduction_.size(); }
    long windowFrames() const { return windowFrames_; }
    double windowSeconds() const { return windowFrames_ / sampleRate_; }
    double seconds() const { return frames_ / sampleRate_; }
    // The middle of window i, in seconds.
    double timeOf(size_t i) const;

    const std::vector<double>& inputDb() const { return input_; }
    const std::vector<double>& outputDb() const { return output_; }
    const std::vector<double>& reductionDb() const { return reduction_; }
    double maxReductionDb() const;
    // The loudest finite level of either signal; -infinity when both are silent.
    double maxLevelDb() const;

private:
    std::vector<double> levels(const AudioClip& clip) const;

    double sampleRate_;
    long frames_;
    long windowFrames_;
    std::vector<double> input_;
    std::vector<double> output_;
    std::vector<double> reduction_;
};
