#pragma once

#include "plug/Tidepull.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdint>
#include <vector>

// One Tidepull in the fuzzer's process, initialised and set up the way a
// host does it, with the state and block calls the targets share.
class FuzzPlug {
public:
    static constexpr int kParams = Tidepull::kNumParams;

    FuzzPlug(Steinberg::int32 sampleSize, Steinberg::int32 maxBlock, double sampleRate);
    ~FuzzPlug();
    FuzzPlug(const FuzzPlug&) = delete;
    FuzzPlug& operator=(const FuzzPlug&) = delete;

    Tidepull& Plug() { return *plug; }
    std::vector<uint8_t> SaveState();
    Steinberg::tresult LoadState(const std::vector<uint8_t>& bytes);
    // Every saved value finite and inside its parameter's range.
    bool StateIsSane();
    // `frames` of a test tone through main input and sidechain (32-bit or
    // 64-bit as set up); false when an output sample is not finite.
    bool ProcessTone(Steinberg::int32 frames);

    double Min(int i) const { return lo[i]; }
    double Max(int i) const { return hi[i]; }

private:
    Tidepull* plug;
    Steinberg::int32 sampleSize;
    double lo[kParams];
    double hi[kParams];
};
