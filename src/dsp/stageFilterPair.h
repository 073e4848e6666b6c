#pragma once

#include "dsp/stageFilter.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TIDEPULL_STAGE_PAIR_SSE2 1
#endif

// The left and right stageFilter of the chain, clocked together: their state
// in the two lanes of SSE2 registers for a block, then written back. Both
// filters run at the same rate, so one set of weights serves both lanes.
// Every lane does tickHeld's operations in tickHeld's order, so the results
// are tickHeld's to the bit (and the same without SSE2).
class stageFilterPair {
public:
    // Takes the state of both; the weights are left's.
    stageFilterPair(const stageFilter& left, const stageFilter& right);
    // Gives each filter its state back.
    void store(stageFilter& left, stageFilter& right) const;

    // tickHeld on both: l into the left filter, r into the right.
    void tickHeld(double l, double r, double& outL, double& outR);
#ifdef TIDEPULL_STAGE_PAIR_SSE2
    // tickHeld with both outputs in one register, left in the low lane.
    __m128d tickHeldLanes(double l, double r);
#endif

private:
    const double (*held)[9];
#ifdef TIDEPULL_STAGE_PAIR_SSE2
    __m128d x1, x2, x3, x4, y1, y2, y3, y4;
#else
    stageFilter left, right;
#endif
};

#ifdef TIDEPULL_STAGE_PAIR_SSE2

inline stageFilterPair::stageFilterPair(const stageFilter& l, const stageFilter& r)
    : held(l.held),
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

inline void stageFilterPair::tickHeld(double l, double r, double& outL, double& outR)
{
    const __m128d y = tickHeldLanes(l, r);
    _mm_storel_pd(&outL, y);
    _mm_storeh_pd(&outR, y);
}

inline __m128d stageFilterPair::tickHeldLanes(double l, double r)
{
    const __m128d x = _mm_set_pd(r, l);
    __m128d out[3];
    for (int k = 0; k < 3; ++k) {
        const double* c = held[k];
        auto w = [c](int i, __m128d v) { return _mm_mul_pd(_mm_set1_pd(c[i]), v); };
        out[k] = _mm_add_pd(
            _mm_add_pd(_mm_add_pd(w(0, x), w(1, x1)), _mm_add_pd(w(2, x2), w(3, x3))),
            _mm_add_pd(_mm_add_pd(_mm_add_pd(w(4, x4), w(5, y1)), _mm_add_pd(w(6, y2), w(7, y3))), w(8, y4)));
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

#else

inline stageFilterPair::stageFilterPair(const stageFilter& l, const stageFilter& r) : held(l.held), left(l), right(r)
{
}

inline void stageFilterPair::store(stageFilter& l, stageFilter& r) const
{
    l = left;
    r = right;
}

inline void stageFilterPair::tickHeld(double l, double r, double& outL, double& outR)
{
    outL = left.tickHeld(l);
    outR = right.tickHeld(r);
}

#endif
