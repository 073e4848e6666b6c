#pragma once

#include <vector>

// One output channel of the core. In 32-bit mode the plug writes into the
// scratch buffer and the adaptor converts it into dest32 afterwards.
struct OutputPort {
    bool connected = false;
    double** destSlot = nullptr;
    float* dest32 = nullptr;
    std::vector<double> scratch;
};
