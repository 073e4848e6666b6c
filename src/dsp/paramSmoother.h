#pragma once

#include "dsp/sameBits.h"

// One-pole smoother for control values, single precision in every operation.
// The float rounding is part of the sound: the state settles a few millionths
// below a positive target (0.9999970197677612 for 1). Every read is one step.
class paramSmoother {
public:
    float tick(double target);
    float getState() const { return state; }

    // True when a tick toward target would give back the state bit for bit.
    // The tick is a function of state and target alone, so every later tick
    // toward the same target is a no-op too: a settled smoother can be read
    // as its state without ticking for as long as the target stays.
    bool settledAt(double target) const;

    bool stateIsFinite() const;
    void clearState();

private:
    float b = 0.99f;
    float a = 1.0f - 0.99f;   // rounded in float: 0.009999990463256836, not float(0.01)
    float state = 0.0f;
};

// Inline: runs up to 19 times per stereo sample. The target is rounded to
// float first; nothing here may widen to double.
inline float paramSmoother::tick(double target)
{
    state = (static_cast<float>(target) * a) + (b * state);
    return state;
}

inline bool paramSmoother::settledAt(double target) const
{
    const float next = (static_cast<float>(target) * a) + (b * state);
    return sameBits(next, state);
}
