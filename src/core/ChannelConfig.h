#pragma once

#include <cstdint>

// One legal (inputs, outputs) pair of the channel I/O string.
struct ChannelConfig {
    int32_t inputs = 0;
    int32_t outputs = 0;
};
