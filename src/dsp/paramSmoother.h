#pragma once

// One-pole smoother for control values, single precision in every operation.
// The float rounding is part of the sound: the state settles a few millionths
// below a positive target (0.9999970197677612 for 1). Every read is one step.
class paramSmoother {
public:
    float tick(double target);
    float getState() const { return state; }

    bool stateIsFinite() const;
    void clearState();

private:
    float b = 0.99f;
    float a = 1.0f - 0.99f;  // rounded in float: 0.009999990463256836, not float(0.01)
    float state = 0.0f;
};

// Inline: runs up to 19 times per stereo sample. The target is rounded to
// float first; nothing here may widen to double.
inline float paramSmoother::tick(double target)
{
    state = (static_cast<float>(target) * a) + (b * state);
    return state;
}
