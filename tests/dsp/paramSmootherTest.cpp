#include "dsp/paramSmoother.h"

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
}

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
        ASSERT_LT(m1, m2);  // complementary weights differ by one step while moving
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
