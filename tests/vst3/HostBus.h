#pragma once

#include "StereoSignal.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <vector>

// The sample buffers of one host audio bus for one block, 32-bit or 64-bit,
// with guard samples on both sides of every channel that show any write
// outside the block.
class HostBus {
public:
    static constexpr int kGuard = 32;

    HostBus(int channels, int frames, bool is64);

    Steinberg::Vst::AudioBusBuffers& Buffers() { return buffers; }
    int Frames() const { return frames; }
    bool Is64() const { return is64; }

    double Get(int ch, int i) const;
    void Set(int ch, int i, double v);
    void Fill(double v);
    // Frames [start, start + Frames()) of the signal; channels above 1 get silence.
    void Load(const StereoSignal& signal, size_t start);
    void Store(StereoSignal& signal, size_t start) const;
    // Uses another bus's channel memory (in-place processing).
    void ShareChannelsOf(HostBus& other);
    bool GuardsIntact() const;

private:
    static constexpr double kGuardValue = 1234.5;

    int frames;
    bool is64;
    std::vector<std::vector<float>> store32;
    std::vector<std::vector<double>> store64;
    std::vector<float*> ptr32;
    std::vector<double*> ptr64;
    Steinberg::Vst::AudioBusBuffers buffers;
};
