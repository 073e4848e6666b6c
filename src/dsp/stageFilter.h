#pragma once

#include "dsp/alwaysInline.h"

#include <array>
#include <limits>

// Fixed fourth-order band-pass after the saturation curve, direct form with
// normalisation by a0. Zeros at 0 Hz and Nyquist; about -5.2 dB across most of
// the audio band. All coefficients start at 0: setRate must run before tick.
class stageFilter {
public:
    // The lowest sample rate the chain is made for. The band-pass's upper
    // pole pair (11.2 kHz, damping 0.51 as designed) loses its damping as the
    // rate falls: 0.46 at 8 kHz (a 6 dB peak near Nyquist), 0.05 at 4 kHz,
    // outside the unit circle below 3.77 kHz. From 14 kHz up every pole stays
    // within 2 % of the design's; the sidechain high-pass (525 Hz at most)
    // is far from its own limit there.
    static constexpr double kMinSampleRate = 16000.0;

    // r is twice the sample rate in Hz. Called once per block, so it returns
    // early when r is unchanged. Leaves the filter memory alone.
    void setRate(double r);
    double tick(double x);
    // Three ticks with x held, as the chain clocks the filter, returning the
    // first output. The three outputs come from the state before the call in
    // one step each, not one after the other, so the result is not tick's to
    // the bit: within a few units in the last place of it.
    double tickHeld(double x);
    // Three ticks of xa, xb, xc in turn, returning the first output: the same
    // weighted-sum form as tickHeld (within a few units in the last place of
    // tick's), for a chain whose three inputs differ.
    double tickThree(double xa, double xb, double xc);

    bool stateIsFinite() const;
    void clearState();

    // i = 0..4; anything else gives 0.
    double getA(int i) const;
    double getB(int i) const;

private:
    // Fills out (3 rows of width) with the weights of three clocks.
    void ThreeTicks(int width, std::array<int, 3> inputs, int firstState, double* out) const;

    // Runs two filters' tickHeld side by side on their own state.
    friend class stageFilterPair;

    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0, a4 = 0.0;   // denominator
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0, b4 = 0.0;   // numerator, b2 always 0
    double x1 = 0.0, x2 = 0.0, x3 = 0.0, x4 = 0.0;   // inputs, newest first
    double y1 = 0.0, y2 = 0.0, y3 = 0.0, y4 = 0.0;   // outputs, newest first
    // The three outputs of tickHeld over (x, x1..x4, y1..y4).
    double held[3][9] = {};
    // The three outputs of tickThree over (xa, xb, xc, x1..x4, y1..y4); an
    // output never depends on the inputs after its own.
    double three[3][11] = {};
    // The same weights, each twice: loaded whole into the pair's two lanes.
    alignas(16) double heldLanes[3][9][2] = {};
    alignas(16) double threeLanes[3][11][2] = {};
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

inline TIDEPULL_ALWAYS_INLINE double stageFilter::tickHeld(double x)
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

// Output k is the sum over its own terms, in one fixed order: the pair's lanes
// do the same, so a filter gives the same bits alone or in a pair.
inline TIDEPULL_ALWAYS_INLINE double stageFilter::tickThree(double xa, double xb, double xc)
{
    const double* c0 = three[0];
    const double* c1 = three[1];
    const double* c2 = three[2];
    const double past0 = ((c0[3] * x1 + c0[4] * x2) + (c0[5] * x3 + c0[6] * x4)) +
        ((c0[7] * y1 + c0[8] * y2) + (c0[9] * y3 + c0[10] * y4));
    const double past1 = ((c1[3] * x1 + c1[4] * x2) + (c1[5] * x3 + c1[6] * x4)) +
        ((c1[7] * y1 + c1[8] * y2) + (c1[9] * y3 + c1[10] * y4));
    const double past2 = ((c2[3] * x1 + c2[4] * x2) + (c2[5] * x3 + c2[6] * x4)) +
        ((c2[7] * y1 + c2[8] * y2) + (c2[9] * y3 + c2[10] * y4));
    const double out0 = c0[0] * xa + past0;
    const double out1 = (c1[0] * xa + c1[1] * xb) + past1;
    const double out2 = (c2[0] * xa + (c2[1] * xb + c2[2] * xc)) + past2;
    x4 = x1;
    x3 = xa;
    x2 = xb;
    x1 = xc;
    y4 = y1;
    y3 = out0;
    y2 = out1;
    y1 = out2;
    return out0;
}

inline bool stageFilter::stateIsFinite() const
{
    // x - x is 0 for every finite x and NaN otherwise: one test for all eight,
    // made before every block.
    return ((x1 - x1) + (x2 - x2) + (x3 - x3) + (x4 - x4) + (y1 - y1) + (y2 - y2) + (y3 - y3) + (y4 - y4)) == 0.0;
}
