#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdint>
#include <string>
#include <vector>

// Two instances of the bundle fed the same audio and the same changes at the
// same sample positions. Stretches with automation on every block use one
// block partition for both; stretches without changes cut the audio into
// different random blocks for each. The outputs must agree to the bit
// throughout, and stay finite. Sidechain and bypass switch on the way.
class SoakRun {
public:
    struct Options {
        Steinberg::int32 sampleSize = Steinberg::Vst::kSample32;
        Steinberg::int32 maxBlock = 1024;
        double sampleRate = 48000.0;
        double audioSeconds = 5.0;
        uint32_t seed = 1;
        // False: after the first settings, no change at all.
        bool automation = true;
        // Resident memory is sampled every this many seconds of audio.
        double rssEverySeconds = 30.0;
    };

    struct Result {
        int64_t frames = 0;
        int64_t blocksA = 0;
        int64_t blocksB = 0;
        int64_t automatedBlocks = 0;
        int64_t stillFrames = 0;
        int64_t sidechainSwitches = 0;
        int64_t bypassSwitches = 0;
        int64_t nonFinite = 0;
        int64_t mismatches = 0;
        int64_t firstMismatch = -1;   // sample position, -1 when none
        bool guardFault = false;
        std::vector<long> rssKb;   // in audio order
        std::string error;
    };

    static Result Run(const Options& options);
    static long ResidentKb();
};
