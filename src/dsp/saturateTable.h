#pragma once

#include "dsp/alwaysInline.h"
#include "dsp/saturate.h"

#include <cmath>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TIDEPULL_SATURATE_PAIR_SSE2 1
#endif

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
    // eval of two arguments, side by side in SSE2 lanes where both fall in
    // the table: the same operations per lane, so eval's bits.
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
#ifdef TIDEPULL_SATURATE_PAIR_SSE2
    const double al = std::fabs(l);
    const double ar = std::fabs(r);
    if (al >= 0x1p-10 && al < kRange && ar >= 0x1p-10 && ar < kRange) {
        const __m128d s = _mm_set_pd(r, l);
        const __m128d u = _mm_mul_pd(_mm_add_pd(s, _mm_set1_pd(kRange)), _mm_set1_pd(32.0));
        // Both lanes truncated and converted back at once: u is within
        // [0, 512), where that is exactly eval's int and double casts.
        const __m128i index = _mm_cvttpd_epi32(u);
        const int il = _mm_cvtsi128_si32(index);
        const int ir = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, 1));
        const __m128d base = _mm_add_pd(_mm_cvtepi32_pd(index), _mm_set1_pd(0.5));
        const __m128d t = _mm_mul_pd(_mm_sub_pd(u, base), _mm_set1_pd(2.0));
        const double* cl = coef[il];
        const double* cr = coef[ir];
        auto c = [cl, cr](int k) { return _mm_set_pd(cr[k], cl[k]); };
        const __m128d t2 = _mm_mul_pd(t, t);
        const __m128d t4 = _mm_mul_pd(t2, t2);
        const __m128d p01 = _mm_add_pd(c(0), _mm_mul_pd(c(1), t));
        const __m128d p23 = _mm_add_pd(c(2), _mm_mul_pd(c(3), t));
        const __m128d p45 = _mm_add_pd(c(4), _mm_mul_pd(c(5), t));
        const __m128d p67 = _mm_add_pd(c(6), _mm_mul_pd(c(7), t));
        const __m128d y =
            _mm_add_pd(_mm_add_pd(p01, _mm_mul_pd(p23, t2)), _mm_mul_pd(_mm_add_pd(p45, _mm_mul_pd(p67, t2)), t4));
        _mm_storel_pd(&outL, y);
        _mm_storeh_pd(&outR, y);
        return;
    }
#endif
    outL = eval(l);
    outR = eval(r);
}
