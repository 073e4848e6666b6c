#include "dsp/paramSmoother.h"

#include <cmath>
#include <limits>
#include <gtest/gtest.h>

namespace {
double settle(double target)
{
    paramSmoother s;
    for (int i = 0; i < 5000; ++i)
        s.tick(target);
    return s.getState();
}
}   // namespace

TEST(ParamSmootherTest, FirstStepIsSinglePrecisionGain)
{
    paramSmoother s;
    EXPECT_EQ(static_cast<double>(s.tick(1.0)), 0.009999990463256836);
}

TEST(ParamSmootherTest, SettlesJustBelowTarget)
{
    EXPECT_EQ(settle(1.0), 0.9999970197677612);
    EXPECT_EQ(settle(2.0), 1.9999940395355225);
    EXPECT_EQ(settle(30.0), 29.99985694885254);
    EXPECT_EQ(settle(50.0), 49.99985885620117);
}

TEST(ParamSmootherTest, ReachesNinetyNinePercentAfter459Steps)
{
    for (double target : {1.0, 4.0, 20.0}) {
        paramSmoother s;
        int steps = 0;
        while (s.tick(target) < 0.99 * target)
            ++steps;
        EXPECT_EQ(steps + 1, 459) << "target " << target;
    }
}

TEST(ParamSmootherTest, DecaysTowardZeroWithoutGoingNegative)
{
    paramSmoother s;
    for (int i = 0; i < 2000; ++i)
        s.tick(1.0);
    for (int i = 0; i < 20000; ++i)
        s.tick(0.0);
    EXPECT_GE(s.getState(), 0.0f);
    EXPECT_LT(s.getState(), 1e-40f);
}

TEST(ParamSmootherTest, EveryReadIsOneStep)
{
    // Read twice per sample, it is where a once-read smoother is after twice the samples.
    paramSmoother twice, once;
    for (int i = 0; i < 100; ++i) {
        const float m1 = twice.tick(0.5);
        const float m2 = twice.tick(0.5);
        ASSERT_EQ(once.tick(0.5), m1);
        ASSERT_EQ(once.tick(0.5), m2);
        ASSERT_LT(m1, m2);   // complementary weights differ by one step while moving
    }
}

TEST(ParamSmootherTest, ClearStateRecoversFromNonFiniteTarget)
{
    paramSmoother s;
    s.tick(std::numeric_limits<double>::infinity());
    EXPECT_FALSE(s.stateIsFinite());
    s.clearState();
    EXPECT_TRUE(s.stateIsFinite());
    EXPECT_EQ(s.getState(), 0.0f);
    s.tick(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(s.stateIsFinite());
    s.clearState();
    EXPECT_EQ(static_cast<double>(s.tick(1.0)), 0.009999990463256836);
}

TEST(ParamSmootherTest, SettledExactlyWhenATickChangesNothing)
{
    // Toward each target, step by step: settledAt answers whether the next
    // tick would leave the state as it is, and once it does, ticks never move
    // the state again (the settled value the chain reads instead of ticking).
    for (double target : {1.0, 2.0, 30.0, 0.1258925411794167, 7.943282347242816, 0.0}) {
        SCOPED_TRACE(target);
        paramSmoother s;
        for (int i = 0; i < 200; ++i)
            s.tick(3.0);   // start from elsewhere, so the path down to 0 is a decay
        int settledSteps = 0;
        for (int i = 0; i < 20000; ++i) {
            paramSmoother next = s;
            const float before = s.getState();
            const bool settled = s.settledAt(target);
            EXPECT_EQ(settled, next.tick(target) == before && std::signbit(next.getState()) == std::signbit(before))
                << "step " << i;
            s.tick(target);
            if (settled) {
                EXPECT_EQ(s.getState(), before);
                ++settledSteps;
            }
        }
        EXPECT_GT(settledSteps, 1000);
        // Settled for this target only.
        EXPECT_FALSE(s.settledAt(target + 1.0));
    }
}

TEST(ParamSmootherTest, DecayToZeroRestsOnASubnormal)
{
    // The chain reads a MIX of 0 from here: the fixed point is a subnormal,
    // not zero, and settledAt finds it.
    paramSmoother s;
    for (int i = 0; i < 500; ++i)
        s.tick(1.0);
    int steps = 0;
    while (!s.settledAt(0.0) && steps < 100000) {
        s.tick(0.0);
        ++steps;
    }
    EXPECT_LT(steps, 100000);
    EXPECT_GT(s.getState(), 0.0f);
    EXPECT_LT(s.getState(), std::numeric_limits<float>::min());
}
