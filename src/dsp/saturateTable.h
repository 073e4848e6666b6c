#pragma once

#include "dsp/alwaysInline.h"
#include "dsp/lanePair.h"
#include "dsp/saturate.h"

#include <cmath>
#include <cstdint>

// The saturation curve as piecewise polynomials, for the audio path: degree 7
// on 512 intervals of 1/32 across [-8, 8), a Taylor series of the whole curve
// below 2^-10 (quiet signals keep their relative accuracy, silence stays
// silence), the curve itself beyond 8 and for non-finite input. Within 2e-14
// of saturate everywhere; plain + - * only, so every platform gives the same
// bits. The coefficients are fitted once per process from saturate.
//
// The series' range is kept small on purpose: which side of its edge a
// sample falls cannot be foreseen, and music crosses any edge near zero at
// every zero crossing; a wider range cost more in mispredicted jumps than
// the table costs there.
class saturateTable {
public:
    static constexpr int kDegree = 7;
    static constexpr int kIntervals = 512;
    static constexpr double kRange = 8.0;

    // The process-wide table; built by the first call, which must not be on
    // the audio thread (the plug's constructor makes it).
    static const saturateTable& shared();

    double eval(double s) const;
    // eval of two arguments, side by side in lanes where both fall in the
    // table: the same operations per lane, so eval's bits.
    void evalPair(double l, double r, double& outL, double& outR) const;

private:
    saturateTable();

    // Per interval, the polynomial in t = 64 (s - centre), t in [-1, 1].
    double coef[kIntervals][kDegree + 1];
};

inline TIDEPULL_ALWAYS_INLINE double saturateTable::eval(double s) const
{
    const double a = std::fabs(s);
    if (a < 0x1p-10) {
        // The curve's own series to s^10; the next terms are below 1e-20 here.
        // No constant term, so silence stays silence.
        const double s2 = s * s;
        const double s4 = s2 * s2;
        const double lo = s * (1.05 + s * -0.005) + s2 * s * -0.050041666666666665;
        const double mid = s4 * (s * 4.166666666666667e-08 + s2 * 0.0016666666666666668);
        const double hi =
            s4 * s2 * s * (0.009999999957837302 + s2 * (0.01666666666670938 + s * -0.0006666666666666666));
        return lo + (mid + hi);
    }
    if (!(a < kRange))
        return saturate(s);
    const double u = (s + kRange) * 32.0;
    const int i = static_cast<int>(u);
    const double t = (u - (static_cast<double>(i) + 0.5)) * 2.0;
    const double* c = coef[i];
    // Estrin's scheme: a shorter chain of dependent steps than Horner's.
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double p01 = c[0] + c[1] * t;
    const double p23 = c[2] + c[3] * t;
    const double p45 = c[4] + c[5] * t;
    const double p67 = c[6] + c[7] * t;
    return (p01 + p23 * t2) + (p45 + p67 * t2) * t4;
}

inline TIDEPULL_ALWAYS_INLINE void saturateTable::evalPair(double l, double r, double& outL, double& outR) const
{
    using namespace lanes;
    const double al = std::fabs(l);
    const double ar = std::fabs(r);
    if (al >= 0x1p-10 && al < kRange && ar >= 0x1p-10 && ar < kRange) {
        const lanes::Pair u = mul(add(make(l, r), both(kRange)), both(32.0));
        // u is within [0, 512): truncated and converted back, exactly eval's
        // int and double casts.
        int il;
        int ir;
        const lanes::Pair base = add(truncate(u, il, ir), both(0.5));
        const lanes::Pair t = mul(sub(u, base), both(2.0));
        const double* cl = coef[il];
        const double* cr = coef[ir];
        auto c = [cl, cr](int k) { return make(cl[k], cr[k]); };
        const lanes::Pair t2 = mul(t, t);
        const lanes::Pair t4 = mul(t2, t2);
        const lanes::Pair p01 = add(c(0), mul(c(1), t));
        const lanes::Pair p23 = add(c(2), mul(c(3), t));
        const lanes::Pair p45 = add(c(4), mul(c(5), t));
        const lanes::Pair p67 = add(c(6), mul(c(7), t));
        store(add(add(p01, mul(p23, t2)), mul(add(p45, mul(p67, t2)), t4)), outL, outR);
        return;
    }
    outL = eval(l);
    outR = eval(r);
}
