#pragma once

#include <cstdint>
#include <cstring>

// Bit-for-bit equality. Reusing a result is exact only when its inputs are
// the same bits: == would take -0.0 for 0.0 (which can flip a sign further
// on) and never matches a NaN.
inline bool sameBits(double a, double b)
{
    uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

inline bool sameBits(float a, float b)
{
    uint32_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}
