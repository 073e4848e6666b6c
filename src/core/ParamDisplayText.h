#pragma once

#include <cstdint>

// One entry of a parameter's value-to-text table.
struct ParamDisplayText {
    int32_t value;
    char text[32];
};
