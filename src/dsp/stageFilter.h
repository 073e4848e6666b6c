#pragma once

#include <limits>

// Fixed fourth-order band-pass after the saturation curve, direct form with
// normalisation by a0. Zeros at 0 Hz and Nyquist; about -5.2 dB across most of
// the audio band. All coefficients start at 0: setRate must run before tick.
class stageFilter {
public:
    // r is twice the sample rate in Hz. Called once per block, so it returns
    // early when r is unchanged. Leaves the filter memory alone.
    void setRate(double r);
    double tick(double x);
    // Three ticks with x held, as the chain clocks the filter, returning the
    // first output. The three outputs come from the state before the call in
    // one step each, not one after the other, so the result is not tick's to
    // the bit: within a few units in the last place of it.
    double tickHeld(double x);

    bool stateIsFinite() const;
    void clearState();

    // i = 0..4; anything else gives 0.
    double getA(int i) const;
    double getB(int i) const;

private:
    // Runs two filters' tickHeld side by side on their own state.
    friend class stageFilterPair;

    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0, a4 = 0.0;   // denominator
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0, b4 = 0.0;   // numerator, b2 always 0
    double x1 = 0.0, x2 = 0.0, x3 = 0.0, x4 = 0.0;   // inputs, newest first
    double y1 = 0.0, y2 = 0.0, y3 = 0.0, y4 = 0.0;   // outputs, newest first
    // The three outputs of tickHeld over (x, x1..x4, y1..y4).
    double held[3][9] = {};
    // NaN so that the first setRate always computes, whatever r it gets.
    double rate = std::numeric_limits<double>::quiet_NaN();
};

// Inline: runs six times per stereo sample. The sum runs left to right in this
// order, b2 term included, so results are reproducible to the bit.
inline double stageFilter::tick(double x)
{
    const double y = (b0 * x + b1 * x1 + b2 * x2 + b3 * x3 + b4 * x4 - a1 * y1 - a2 * y2 - a3 * y3 - a4 * y4) / a0;
    x4 = x3;
    x3 = x2;
    x2 = x1;
    x1 = x;
    y4 = y3;
    y3 = y2;
    y2 = y1;
    y1 = y;
    return y;
}

inline double stageFilter::tickHeld(double x)
{
    double out[3];
    for (int k = 0; k < 3; ++k) {
        const double* c = held[k];
        out[k] = ((c[0] * x + c[1] * x1) + (c[2] * x2 + c[3] * x3)) +
            (((c[4] * x4 + c[5] * y1) + (c[6] * y2 + c[7] * y3)) + c[8] * y4);
    }
    x4 = x1;
    x3 = x;
    x2 = x;
    x1 = x;
    y4 = y1;
    y3 = out[0];
    y2 = out[1];
    y1 = out[2];
    return out[0];
}

inline bool stageFilter::stateIsFinite() const
{
    // x - x is 0 for every finite x and NaN otherwise: one test for all eight,
    // made before every block.
    return ((x1 - x1) + (x2 - x2) + (x3 - x3) + (x4 - x4) + (y1 - y1) + (y2 - y2) + (y3 - y3) + (y4 - y4)) == 0.0;
}
