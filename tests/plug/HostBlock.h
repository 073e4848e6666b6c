#pragma once

#include "PlugHarness.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdint>
#include <vector>

// The audio buffers a host hands to process for one block: a stereo main
// input, a stereo sidechain and a stereo output, in 32-bit and 64-bit form,
// all allocated up front.
class HostBlock {
public:
    explicit HostBlock(int32_t maxFrames);

    // Frames [start, start + n) of the signal into the input buses.
    void Load(const Signal& sig, size_t start, int32_t n);
    // The process data for n frames; the sidechain bus is included when asked.
    Steinberg::Vst::ProcessData& Data(bool is64, int32_t n, bool withSidechain,
                                      Steinberg::Vst::IParameterChanges* changes = nullptr);
    double Out(int channel, int32_t i) const;

private:
    enum { kMainL, kMainR, kScL, kScR, kOutL, kOutR, kChannels };
    bool is64 = true;
    std::vector<double> buffers64[kChannels];
    std::vector<float> buffers32[kChannels];
    double* ptr64[kChannels];
    float* ptr32[kChannels];
    Steinberg::Vst::AudioBusBuffers inputs[2];
    Steinberg::Vst::AudioBusBuffers output;
    Steinberg::Vst::ProcessData data;
};
