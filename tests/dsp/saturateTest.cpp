#include "dsp/saturate.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(SaturateTest, PrintedValuesToTheBit)
{
    EXPECT_EQ(saturate(0.0), 0.0);
    EXPECT_EQ(saturate(0.5), 0.5176306729784232);
    EXPECT_EQ(saturate(1.0), 1.0159246780142874);
    EXPECT_EQ(saturate(-1.0), -1.023540619573845);
    EXPECT_EQ(saturate(2.0), 2.0603011992371245);
}

TEST(SaturateTest, EvenTermMakesItAsymmetric)
{
    for (double s = -3.0; s <= 3.0; s += 0.125) {
        const double expected = -saturate(s) - 0.01 * std::tanh(s * s);
        EXPECT_NEAR(saturate(-s), expected, 1e-15 * (1.0 + std::fabs(s))) << "s = " << s;
    }
}

TEST(SaturateTest, SmallSignalSlopeIs105Percent)
{
    EXPECT_NEAR(saturate(1e-6) / 1e-6, 1.05, 1e-7);
    EXPECT_NEAR(saturate(-1e-6) / -1e-6, 1.05, 1e-7);
}
