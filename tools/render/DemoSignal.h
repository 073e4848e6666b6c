#pragma once

#include "AudioClip.h"

// A few seconds of stereo material a compressor audibly acts on: decaying kicks
// and snares over a chord that swells from quiet to loud and back.
class DemoSignal {
public:
    static constexpr double kSampleRate = 48000.0;
    static constexpr double kSeconds = 6.0;

    static AudioClip make();
};
