#pragma once

#include "dsp/alwaysInline.h"
#include "dsp/lanePair.h"
#include "dsp/sameBits.h"
#include "dsp/stageFilter.h"

// The left and right stageFilter of the chain, clocked together: their state
// in the two lanes of a lanes::Pair for a block, then written back. Both
// filters run at the same rate, so one set of weights serves both lanes.
// Every lane does the single filter's operations in its order, so the results
// are tickHeld's or tickThree's to the bit, in SSE2 lanes or plain ones.
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
    // tickHeld with both outputs in one pair, left in the low lane.
    lanes::Pair tickHeldLanes(double l, double r);
    lanes::Pair clockThreeLanes(double l1, double l2, double l3, double r1, double r2, double r3);

private:
    void heldOutputs(lanes::Pair x, lanes::Pair out[3]) const;
    void advance(lanes::Pair xa, lanes::Pair xb, lanes::Pair xc, const lanes::Pair out[3]);

    const double (*held)[9][2];
    const double (*three)[11][2];
    lanes::Pair x1, x2, x3, x4, y1, y2, y3, y4;
};

inline stageFilterPair::stageFilterPair(const stageFilter& l, const stageFilter& r)
    : held(l.heldLanes),
      three(l.threeLanes),
      x1(lanes::make(l.x1, r.x1)),
      x2(lanes::make(l.x2, r.x2)),
      x3(lanes::make(l.x3, r.x3)),
      x4(lanes::make(l.x4, r.x4)),
      y1(lanes::make(l.y1, r.y1)),
      y2(lanes::make(l.y2, r.y2)),
      y3(lanes::make(l.y3, r.y3)),
      y4(lanes::make(l.y4, r.y4))
{
}

inline void stageFilterPair::store(stageFilter& l, stageFilter& r) const
{
    const lanes::Pair* from[8] = {&x1, &x2, &x3, &x4, &y1, &y2, &y3, &y4};
    double* toL[8] = {&l.x1, &l.x2, &l.x3, &l.x4, &l.y1, &l.y2, &l.y3, &l.y4};
    double* toR[8] = {&r.x1, &r.x2, &r.x3, &r.x4, &r.y1, &r.y2, &r.y3, &r.y4};
    for (int i = 0; i < 8; ++i)
        lanes::store(*from[i], *toL[i], *toR[i]);
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::tickHeld(double l, double r, double& outL, double& outR)
{
    lanes::store(tickHeldLanes(l, r), outL, outR);
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::heldOutputs(lanes::Pair x, lanes::Pair out[3]) const
{
    using namespace lanes;
    // Written out for each output: as a loop the compiler kept the outputs
    // in memory, in the chain from one sample to the next.
    auto one = [&](const double(*c)[2]) TIDEPULL_ALWAYS_INLINE {
        auto w = [c](int i, lanes::Pair v) { return mul(load(c[i]), v); };
        return add(add(add(w(0, x), w(1, x1)), add(w(2, x2), w(3, x3))),
                   add(add(add(w(4, x4), w(5, y1)), add(w(6, y2), w(7, y3))), w(8, y4)));
    };
    out[0] = one(held[0]);
    out[1] = one(held[1]);
    out[2] = one(held[2]);
}

// Held, the three inputs are one: both kinds of clock move the state alike.
inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::advance(lanes::Pair xa, lanes::Pair xb, lanes::Pair xc,
                                                            const lanes::Pair out[3])
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

inline TIDEPULL_ALWAYS_INLINE lanes::Pair stageFilterPair::tickHeldLanes(double l, double r)
{
    const lanes::Pair x = lanes::make(l, r);
    lanes::Pair out[3];
    heldOutputs(x, out);
    advance(x, x, x, out);
    return out[0];
}

inline TIDEPULL_ALWAYS_INLINE lanes::Pair stageFilterPair::clockThreeLanes(double l1, double l2, double l3, double r1,
                                                                           double r2, double r3)
{
    using namespace lanes;
    const bool heldL = sameBits(l1, l2) && sameBits(l2, l3);
    const bool heldR = sameBits(r1, r2) && sameBits(r2, r3);
    if (heldL && heldR)
        return tickHeldLanes(l1, r1);
    const lanes::Pair xa = make(l1, r1);
    const lanes::Pair xb = make(l2, r2);
    const lanes::Pair xc = make(l3, r3);
    auto w = [](const double(*c)[2], int i, lanes::Pair v) { return mul(load(c[i]), v); };
    auto past = [&](const double(*c)[2]) {
        return add(add(add(w(c, 3, x1), w(c, 4, x2)), add(w(c, 5, x3), w(c, 6, x4))),
                   add(add(w(c, 7, y1), w(c, 8, y2)), add(w(c, 9, y3), w(c, 10, y4))));
    };
    const double(*c0)[2] = three[0];
    const double(*c1)[2] = three[1];
    const double(*c2)[2] = three[2];
    lanes::Pair out[3];
    out[0] = add(w(c0, 0, xa), past(c0));
    out[1] = add(add(w(c1, 0, xa), w(c1, 1, xb)), past(c1));
    out[2] = add(add(w(c2, 0, xa), add(w(c2, 1, xb), w(c2, 2, xc))), past(c2));
    if (heldL || heldR) {
        // One filter held, the other not: its lane takes the held outputs.
        lanes::Pair heldOut[3];
        heldOutputs(xa, heldOut);
        const lanes::Mask take = mask(heldL, heldR);
        for (int k = 0; k < 3; ++k)
            out[k] = select(take, heldOut[k], out[k]);
    }
    advance(xa, xb, xc, out);
    return out[0];
}

inline TIDEPULL_ALWAYS_INLINE void stageFilterPair::clockThree(double l1, double l2, double l3, double r1, double r2,
                                                               double r3, double& outL, double& outR)
{
    lanes::store(clockThreeLanes(l1, l2, l3, r1, r2, r3), outL, outR);
}
