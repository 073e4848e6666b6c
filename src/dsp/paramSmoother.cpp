#include "dsp/paramSmoother.h"

#include <cmath>

bool paramSmoother::stateIsFinite() const
{
    return std::isfinite(state);
}

void paramSmoother::clearState()
{
    state = 0.0f;
}
