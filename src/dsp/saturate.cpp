#include "dsp/saturate.h"

#include <cmath>

// Out of line on purpose: the four libm calls dominate, a call costs nothing
// next to them. Grouping and powers are kept exactly as below so the curve
// reproduces bit for bit; do not fold the powers into std::pow.
double saturate(double s)
{
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double s7 = s3 * s * s * s * s;
    return ((std::tanh(0.05 * s) + s) - (0.005 * std::tanh(s2) + 0.05 * std::tanh(s3)))
           + 0.01 * std::atan(s7);
}
