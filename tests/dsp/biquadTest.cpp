#include "dsp/biquad.h"

#include <cmath>
#include <limits>
#include <gtest/gtest.h>

TEST(BiquadTest, InitialCoefficientsPassInputUnchanged)
{
    biquad f;
    const double xs[] = {0.0, 1.0, -0.25, 3.5e-7, -1e300, 0.7071};
    for (double x : xs)
        EXPECT_EQ(f.tick(x), x);
}

TEST(BiquadTest, HighPassAt45HzMatchesPrintedCoefficients)
{
    biquad f;
    f.setHighPass(45.0 / 44100.0, 0.707);
    EXPECT_NEAR(f.getA0(), 0.99547603, 5e-9);
    EXPECT_NEAR(f.getA1(), -1.99095206, 5e-9);
    EXPECT_NEAR(f.getA2(), 0.99547603, 5e-9);
    EXPECT_EQ(f.getA0(), f.getA2());
    EXPECT_EQ(f.getA1(), -2.0 * f.getA0());
    EXPECT_NEAR(f.getB1(), -1.99093160, 5e-9);
    EXPECT_NEAR(f.getB2(), 0.99097252, 5e-9);
}

TEST(BiquadTest, HighPassBlocksDcAndPassesNyquist)
{
    biquad dc, ny;
    dc.setHighPass(100.0 / 44100.0, 0.707);
    ny.setHighPass(100.0 / 44100.0, 0.707);
    double yd = 0.0, yn = 0.0;
    for (int i = 0; i < 44100; ++i) {
        yd = dc.tick(1.0);
        yn = ny.tick(i % 2 ? -1.0 : 1.0);
    }
    EXPECT_NEAR(yd, 0.0, 1e-9);
    EXPECT_NEAR(std::fabs(yn), 1.0, 1e-6);
}

TEST(BiquadTest, RedesignKeepsStateAndEarlyReturnChangesNothing)
{
    // One filter redesigned every "block" with the same values, one designed once.
    biquad every, once;
    once.setHighPass(0.5, 0.707);   // the initial field values: must still design
    for (int i = 0; i < 2000; ++i) {
        every.setHighPass(0.5, 0.707);
        const double x = std::sin(0.1 * i);
        ASSERT_EQ(every.tick(x), once.tick(x));
    }
    EXPECT_NE(once.getA0(), 1.0);

    // A new design must not clear the memory: silence still rings out.
    once.setHighPass(200.0 / 48000.0, 1.0);
    EXPECT_NE(once.tick(0.0), 0.0);
}

TEST(BiquadTest, ClearStateRecoversFromNonFiniteInput)
{
    biquad f, fresh;
    f.setHighPass(45.0 / 44100.0, 0.707);
    fresh.setHighPass(45.0 / 44100.0, 0.707);
    EXPECT_TRUE(f.stateIsFinite());
    f.tick(std::numeric_limits<double>::infinity());
    EXPECT_FALSE(f.stateIsFinite());
    f.clearState();
    f.tick(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(f.stateIsFinite());
    f.clearState();
    EXPECT_TRUE(f.stateIsFinite());
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(f.tick(0.3), fresh.tick(0.3));
}
