#pragma once

#include <cstdint>

// Noise through a gentle low-pass with a slow level envelope: close enough to
// music for the detector to move between attack, hold and release. The same
// sequence feeds the saturate benchmark, so both see the same arguments.
class MusicLike {
public:
    double Next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double white = static_cast<double>(state >> 11) * (1.0 / 9007199254740992.0) * 2.0 - 1.0;
        lp += 0.2 * (white - lp);
        ++n;
        const double env = 0.25 + 0.2 * static_cast<double>((n / 11025) % 4);
        return lp * env * 2.0;
    }

private:
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    double lp = 0.0;
    long n = 0;
};
