#include "dsp/biquad.h"

#include "dsp/portableMath.h"

#include <cmath>

void biquad::setHighPass(double fc, double q)
{
    if (designed && fc == cutoff && q == Q)
        return;
    designed = true;
    cutoff = fc;
    Q = q;

    const double K = portableMath::tan(3.141592653589793 * cutoff);
    const double norm = 1.0 / ((1.0 + K / Q) + K * K);
    a0 = norm;
    a1 = -2.0 * norm;
    a2 = norm;
    b1 = 2.0 * (K * K - 1.0) * norm;
    b2 = ((1.0 - K / Q) + K * K) * norm;
}

void biquad::clearState()
{
    z1 = 0.0;
    z2 = 0.0;
}
