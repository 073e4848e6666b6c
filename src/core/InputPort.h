#pragma once

#include <vector>

// One input channel of the core. An unconnected port points its slot at its
// own scratch buffer so the plug always reads valid memory.
struct InputPort {
    bool connected = false;
    // The scratch holds a block of audio, not silence: it is cleared before
    // the port reads it unconnected. (Beside connected, where it costs no
    // room.)
    bool scratchHoldsAudio = false;
    double** sourceSlot = nullptr;
    std::vector<double> scratch;
};
