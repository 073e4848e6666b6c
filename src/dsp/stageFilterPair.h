#pragma once

#include "dsp/alwaysInline.h"
#include "dsp/sameBits.h"
#include "dsp/stageFilter.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TIDEPULL_STAGE_PAIR_SSE2 1
#endif

// The left and right stageFilter of the chain, clocked together: their state
// in the two lanes of SSE2 registers for a block, then written back. Both
// filters run at the same rate, so one set of weights serves both lanes.
// Every lane does the single filter's operations in its order, so the results
// are tickHeld's or tickThree's to the bit (and the same without SSE2).
class stageFilterPair {
public:
    // Takes the state of both; the weights are left's.
    stageFilterPair(const stageFilter& left, const stageFilter& right);
    // Gives each filter its state back.
    void store(stageFilter& left, stageFilter& right) const;

    // tickHeld on both: l into the left filter, r into the right.
    void tickHeld(double l, double r, double& outL, double& outR);
    // Three clocks on each: l1, l2, l3 into the left filter, r1, r2, r3 into
    // the right. A filter whose three inputs are the same bits takes
    // tickHeld, any other tickThree, as each would alone.
    void clockThree(double l1, double l2, double l3, double r1, double r2, double r3, double& outL, double& outR);
#ifdef TIDEPULL_STAGE_PAIR_SSE2
    // tickHeld with both outputs in one register, left in the low lane.
    __m128d tickHeldLanes(double l, double r);
    __m128d clockThreeLanes(double l1, double l2, double l3, double r1, double r2, double r3);
#endif

private:
    const double (*held)[9][2];
    const double (*three)[11][2];
#ifdef TIDEPULL_STAGE_PAIR_SSE2
    void heldOutputs(__m128d x, __m128d out[3]) const;
    void advance(__m128d xa, __m128d xb, __m128d xc, const __m128d out[3]);

    __m128d x1, x2, x3, x4, y1, y2, y3, y4;
#else
    stageFilter left, right;
#endif
};

#ifdef TIDEPULL_STAGE_PAIR_SSE2

inline stageFilterPair::stageFilterPair(const stageFilter& l, const stageFilter& r)
    : held(l.heldLanes),
      three(l.threeLanes),
      x1(_mm_set_pd(r.x1, l.x1)),
      x2(_mm_set_pd(r.x2, l.x2)),
      x3(_mm_set_pd(r.x3, l.x3)),
      x4(_mm_set_pd(r.x4, l.x4)),
      y1(_mm_set_pd(r.y1, l.y1)),
      y2(_mm_set_pd(r.y2, l.y2)),
      y3(_mm_set_pd(r.y3, l.y3)),
      y4(_mm_set_pd(r.y4, l.y4))
{
}

inline void stageFilterPair::store(stageFilter& l, stageFilter& r) const
{
    const __m128d* from[8] = {&x1, &x2, &x3, &x4, &y1, &y2, &y3, &y4};
    double* toL[8] = {&l.x1, &l.x2, &l.x3, &l.x4, &l.y1, &l.y2, &l.y3, &l.y4};
    double* toR[8] = {&r.x1, &r.x2, &r.x3, &r.x4, &r.y1, &r.y2, &r.y3, &r.y4};
    for (int i = 0; i < 8; ++i) {
        _mm_storel_pd(toL[i], *from[i]);
        _mm_storeh_pd(toR[i], *from[i]);
    }
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::tickHeld(double l, double r, double& outL, double& outR)
{
    const __m128d y = tickHeldLanes(l, r);
    _mm_storel_pd(&outL, y);
    _mm_storeh_pd(&outR, y);
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::heldOutputs(__m128d x, __m128d out[3]) const
{
    // Written out for each output: as a loop the compiler kept the outputs
    // in memory, in the chain from one sample to the next.
    auto one = [&](const double(*c)[2]) TIDEPULL_ALWAYS_INLINE {
        auto w = [c](int i, __m128d v) { return _mm_mul_pd(_mm_load_pd(c[i]), v); };
        return _mm_add_pd(
            _mm_add_pd(_mm_add_pd(w(0, x), w(1, x1)), _mm_add_pd(w(2, x2), w(3, x3))),
            _mm_add_pd(_mm_add_pd(_mm_add_pd(w(4, x4), w(5, y1)), _mm_add_pd(w(6, y2), w(7, y3))), w(8, y4)));
    };
    out[0] = one(held[0]);
    out[1] = one(held[1]);
    out[2] = one(held[2]);
}

// Held, the three inputs are one: both kinds of clock move the state alike.
inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::advance(__m128d xa, __m128d xb, __m128d xc, const __m128d out[3])
{
    x4 = x1;
    x3 = xa;
    x2 = xb;
    x1 = xc;
    y4 = y1;
    y3 = out[0];
    y2 = out[1];
    y1 = out[2];
}

inline TIDEPULL_ALWAYS_INLINE __m128d stageFilterPair::tickHeldLanes(double l, double r)
{
    const __m128d x = _mm_set_pd(r, l);
    __m128d out[3];
    heldOutputs(x, out);
    advance(x, x, x, out);
    return out[0];
}

inline TIDEPULL_ALWAYS_INLINE __m128d stageFilterPair::clockThreeLanes(double l1, double l2, double l3, double r1,
                                                                       double r2, double r3)
{
    const bool heldL = sameBits(l1, l2) && sameBits(l2, l3);
    const bool heldR = sameBits(r1, r2) && sameBits(r2, r3);
    if (heldL && heldR)
        return tickHeldLanes(l1, r1);
    const __m128d xa = _mm_set_pd(r1, l1);
    const __m128d xb = _mm_set_pd(r2, l2);
    const __m128d xc = _mm_set_pd(r3, l3);
    auto w = [](const double(*c)[2], int i, __m128d v) { return _mm_mul_pd(_mm_load_pd(c[i]), v); };
    auto past = [&](const double(*c)[2]) {
        return _mm_add_pd(_mm_add_pd(_mm_add_pd(w(c, 3, x1), w(c, 4, x2)), _mm_add_pd(w(c, 5, x3), w(c, 6, x4))),
                          _mm_add_pd(_mm_add_pd(w(c, 7, y1), w(c, 8, y2)), _mm_add_pd(w(c, 9, y3), w(c, 10, y4))));
    };
    const double(*c0)[2] = three[0];
    const double(*c1)[2] = three[1];
    const double(*c2)[2] = three[2];
    __m128d out[3];
    out[0] = _mm_add_pd(w(c0, 0, xa), past(c0));
    out[1] = _mm_add_pd(_mm_add_pd(w(c1, 0, xa), w(c1, 1, xb)), past(c1));
    out[2] = _mm_add_pd(_mm_add_pd(w(c2, 0, xa), _mm_add_pd(w(c2, 1, xb), w(c2, 2, xc))), past(c2));
    if (heldL || heldR) {
        // One filter held, the other not: its lane takes the held outputs.
        __m128d heldOut[3];
        heldOutputs(xa, heldOut);
        const __m128d take = _mm_castsi128_pd(_mm_set_epi64x(heldR ? -1 : 0, heldL ? -1 : 0));
        for (int k = 0; k < 3; ++k)
            out[k] = _mm_or_pd(_mm_and_pd(take, heldOut[k]), _mm_andnot_pd(take, out[k]));
    }
    advance(xa, xb, xc, out);
    return out[0];
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::clockThree(double l1, double l2, double l3, double r1, double r2,
                                                               double r3, double& outL, double& outR)
{
    const __m128d y = clockThreeLanes(l1, l2, l3, r1, r2, r3);
    _mm_storel_pd(&outL, y);
    _mm_storeh_pd(&outR, y);
}

#else

inline stageFilterPair::stageFilterPair(const stageFilter& l, const stageFilter& r)
    : held(l.heldLanes),
      three(l.threeLanes),
      left(l),
      right(r)
{
}

inline void stageFilterPair::store(stageFilter& l, stageFilter& r) const
{
    l = left;
    r = right;
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::tickHeld(double l, double r, double& outL, double& outR)
{
    outL = left.tickHeld(l);
    outR = right.tickHeld(r);
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::clockThree(double l1, double l2, double l3, double r1, double r2,
                                                               double r3, double& outL, double& outR)
{
    outL = sameBits(l1, l2) && sameBits(l2, l3) ? left.tickHeld(l1) : left.tickThree(l1, l2, l3);
    outR = sameBits(r1, r2) && sameBits(r2, r3) ? right.tickHeld(r1) : right.tickThree(r1, r2, r3);
}

#endif
