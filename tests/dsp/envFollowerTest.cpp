#include "dsp/envFollower.h"

#include <cmath>
#include <limits>
#include <gtest/gtest.h>

namespace {
// Samples of a 0 -> 1 step until the envelope reaches 0.99.
int samplesToReach99(envFollower& f)
{
    int n = 0;
    while (f.getEnvelope() < 0.99) {
        f.detect(1.0);
        ++n;
    }
    return n;
}
}   // namespace

TEST(EnvFollowerTest, DefaultConstruction)
{
    envFollower f;
    EXPECT_EQ(f.getMode(), 0);
    EXPECT_EQ(f.getSampleRate(), 44100.0);
    EXPECT_EQ(f.getEnvelope(), 0.0);
    EXPECT_EQ(f.getHoldCount(), 0);
    EXPECT_EQ(f.getHoldLength(), 0);
    EXPECT_EQ(f.getAttackCoef(), std::pow(0.01, 1.0 / (5.0 * 44100.0 * 0.001)));
    EXPECT_EQ(f.getReleaseCoef(), std::pow(0.01, 1.0 / (50.0 * 44100.0 * 0.001)));
}

TEST(EnvFollowerTest, HoldOf3MsIs132SamplesAt44100)
{
    envFollower f;
    f.setHold(3.0);
    EXPECT_EQ(f.getHoldLength(), 132);
    envFollower g;
    g.init(0, 0.8, 300.0, 3.0, 44100.0);
    EXPECT_EQ(g.getHoldLength(), 132);
    g.init(0, 0.8, 300.0, 3.0, 96000.0);
    EXPECT_EQ(g.getHoldLength(), 288);
}

TEST(EnvFollowerTest, AttackReaches99PercentAfterAttackTime)
{
    envFollower f;
    f.init(0, 10.0, 50.0, 0.0, 44100.0);   // 441 samples
    EXPECT_EQ(samplesToReach99(f), 441);
    EXPECT_NEAR(f.getEnvelope(), 0.99, 1e-12);

    f.init(0, 5.0, 50.0, 0.0, 48000.0);   // 240 samples
    EXPECT_EQ(samplesToReach99(f), 240);
    EXPECT_NEAR(f.getEnvelope(), 0.99, 1e-12);

    f.init(0, 0.8, 50.0, 0.0, 44100.0);   // 35.28 samples
    EXPECT_EQ(samplesToReach99(f), 36);
}

TEST(EnvFollowerTest, ReleaseReachesOnePercentAfterReleaseTime)
{
    envFollower f;
    f.init(0, 0.0, 20.0, 0.0, 44100.0);   // attack 0: a rise lands on the level at once
    f.detect(1.0);
    EXPECT_EQ(f.getEnvelope(), 1.0);
    for (int i = 0; i < 882; ++i)
        f.detect(0.0);
    EXPECT_NEAR(f.getEnvelope(), 0.01, 1e-12);
}

TEST(EnvFollowerTest, ConstantInputSettlesAtItsLevel)
{
    // (envelope - v) * coef + v stalls a few dozen ulps short of v once the
    // product stops rounding to a smaller step, so the check allows for that.
    envFollower f;
    f.setHold(3.0);
    for (int i = 0; i < 20000; ++i)
        f.detect(-0.37);
    EXPECT_NEAR(f.getEnvelope(), 0.37, 1e-14);
    EXPECT_LE(f.getEnvelope(), 0.37);
    for (int i = 0; i < 200000; ++i)
        f.detect(0.2);
    EXPECT_NEAR(f.getEnvelope(), 0.2, 1e-14);
    EXPECT_GE(f.getEnvelope(), 0.2);
}

TEST(EnvFollowerTest, HoldsExactlyHoldLengthThenReleases)
{
    envFollower f;
    f.init(0, 1.0, 100.0, 3.0, 44100.0);
    for (int i = 0; i < 1000; ++i)
        f.detect(0.8);
    const double held = f.getEnvelope();
    f.detect(0.9);   // a rise restarts the hold
    EXPECT_EQ(f.getHoldCount(), 0);
    const double risen = f.getEnvelope();
    EXPECT_GT(risen, held);
    for (int i = 0; i < 132; ++i) {
        f.detect(0.2);
        ASSERT_EQ(f.getEnvelope(), risen) << "held sample " << i;
    }
    EXPECT_EQ(f.getHoldCount(), 132);
    double expected = risen;
    for (int i = 0; i < 10; ++i) {
        f.detect(0.2);
        expected = (expected - 0.2) * f.getReleaseCoef() + 0.2;
        ASSERT_EQ(f.getEnvelope(), expected);
    }
}

TEST(EnvFollowerTest, LevelEqualToEnvelopeAdvancesHold)
{
    envFollower f;
    f.init(0, 0.0, 100.0, 3.0, 44100.0);
    f.detect(0.5);
    ASSERT_EQ(f.getEnvelope(), 0.5);
    for (int i = 1; i <= 5; ++i) {
        f.detect(-0.5);
        EXPECT_EQ(f.getHoldCount(), i);
        EXPECT_EQ(f.getEnvelope(), 0.5);
    }
}

TEST(EnvFollowerTest, SettersKeepStateAndEarlyReturnChangesNothing)
{
    envFollower every, once;
    once.setAttack(0.8);
    once.setRelease(300.0);
    once.setHold(3.0);
    for (int i = 0; i < 3000; ++i) {
        every.setAttack(0.8);
        every.setRelease(300.0);
        every.setHold(3.0);
        const double x = (i % 700 < 300) ? std::sin(0.03 * i) : 0.0;
        every.detect(x);
        once.detect(x);
        ASSERT_EQ(every.getEnvelope(), once.getEnvelope());
        ASSERT_EQ(every.getHoldCount(), once.getHoldCount());
    }
    const double env = once.getEnvelope();
    const int32_t hold = once.getHoldCount();
    once.setAttack(2.0);
    once.setRelease(20.0);
    once.setHold(1.0);
    EXPECT_EQ(once.getEnvelope(), env);
    EXPECT_EQ(once.getHoldCount(), hold);
}

TEST(EnvFollowerTest, InitResetsTheSetterCache)
{
    // A stale cache would keep the 44100 Hz coefficient after the rate change.
    envFollower f;
    f.setAttack(2.0);
    f.init(0, 5.0, 50.0, 0.0, 48000.0);
    f.setAttack(2.0);
    EXPECT_EQ(f.getAttackCoef(), f.timeCoef(2.0));
    EXPECT_NE(f.getAttackCoef(), std::pow(0.01, 1.0 / (2.0 * 44100.0 * 0.001)));
}

namespace {
struct damagedFollower : envFollower {
    void damage()
    {
        attackCoef = std::numeric_limits<double>::quiet_NaN();
        releaseCoef = std::numeric_limits<double>::infinity();
    }
};
}   // namespace

TEST(EnvFollowerTest, ClearStateRecoversFromNonFiniteValues)
{
    envFollower f;
    f.detect(std::numeric_limits<double>::infinity());
    EXPECT_FALSE(f.stateIsFinite());
    f.clearState();
    EXPECT_TRUE(f.stateIsFinite());
    EXPECT_EQ(f.getEnvelope(), 0.0);
    EXPECT_EQ(f.getHoldCount(), 0);

    // clearState forgets the cached times, so the same times repair the coefficients.
    damagedFollower d;
    d.setAttack(0.8);
    d.setRelease(300.0);
    const double attack = d.getAttackCoef(), release = d.getReleaseCoef();
    d.damage();
    EXPECT_FALSE(d.stateIsFinite());
    d.clearState();
    d.setAttack(0.8);
    d.setRelease(300.0);
    EXPECT_TRUE(d.stateIsFinite());
    EXPECT_EQ(d.getAttackCoef(), attack);
    EXPECT_EQ(d.getReleaseCoef(), release);
}
