#pragma once

#include <cstdint>

// The host's transport state as the core sees it.
struct TransportInfo {
    double tempo = 0.0;
    double samplePos = 0.0;
    double ppqPos = 0.0;
    double lastBarPos = 0.0;
    double cycleStart = 0.0;
    double cycleEnd = 0.0;
    int32_t numerator = 0;
    int32_t denominator = 0;
    bool transportRunning = false;
    bool loopEnabled = false;
};
