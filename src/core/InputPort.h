#pragma once

#include <vector>

// One input channel of the core. An unconnected port points its slot at its
// own scratch buffer so the plug always reads valid memory.
struct InputPort {
    bool connected = false;
    double** sourceSlot = nullptr;
    std::vector<double> scratch;
};
