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

    bool stateIsFinite() const;
    void clearState();

    // i = 0..4; anything else gives 0.
    double getA(int i) const;
    double getB(int i) const;

private:
    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0, a4 = 0.0;  // denominator
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0, b4 = 0.0;  // numerator, b2 always 0
    double x1 = 0.0, x2 = 0.0, x3 = 0.0, x4 = 0.0;  // inputs, newest first
    double y1 = 0.0, y2 = 0.0, y3 = 0.0, y4 = 0.0;  // outputs, newest first
    // NaN so that the first setRate always computes, whatever r it gets.
    double rate = std::numeric_limits<double>::quiet_NaN();
};

// Inline: runs six times per stereo sample. The sum runs left to right in this
// order, b2 term included, so results are reproducible to the bit.
inline double stageFilter::tick(double x)
{
    const double y = (b0 * x + b1 * x1 + b2 * x2 + b3 * x3 + b4 * x4
                      - a1 * y1 - a2 * y2 - a3 * y3 - a4 * y4) / a0;
    x4 = x3; x3 = x2; x2 = x1; x1 = x;
    y4 = y3; y3 = y2; y2 = y1; y1 = y;
    return y;
}
