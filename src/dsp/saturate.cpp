#include "dsp/saturate.h"

#include "dsp/portableMath.h"

// Out of line on purpose: the four function calls dominate, a call costs nothing
// next to them. Grouping and powers are kept exactly as below so the curve
// reproduces bit for bit; do not fold the powers into std::pow.
double saturate(double s)
{
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double s7 = s3 * s * s * s * s;
    return ((portableMath::tanh(0.05 * s) + s) - (0.005 * portableMath::tanh(s2) + 0.05 * portableMath::tanh(s3))) +
        0.01 * portableMath::atan(s7);
}
