#include "dsp/compressor.h"

#include <cmath>
#include <limits>
#include <gtest/gtest.h>

namespace {
// A compressor whose envelope lands on the input level at once (attack 0, no hold).
compressor instant(double threshold, double ratio, double knee)
{
    compressor c;
    c.setAttack(0.0);
    c.setThreshold(threshold);
    c.setRatio(ratio);
    c.setKnee(knee);
    return c;
}

double gainAtDb(compressor& c, double dB)
{
    c.clearState();
    c.setAttack(0.0);
    c.detect(std::pow(10.0, dB / 20.0));
    return c.computeGain();
}
}   // namespace

TEST(CompressorTest, DefaultConstruction)
{
    compressor c;
    envFollower plain;
    EXPECT_EQ(c.getGainDb(), 0.0);
    EXPECT_EQ(c.getKnee(), 0.0);
    EXPECT_EQ(c.getRatio(), 4.0);
    EXPECT_EQ(c.getThreshold(), 0.0);
    EXPECT_EQ(c.getKneeWidth(), 0.0);
    EXPECT_TRUE(std::signbit(c.getKneeWidth()));
    EXPECT_EQ(c.getKneeLow(), 0.0);
    EXPECT_EQ(c.getKneeHigh(), 0.0);
    EXPECT_EQ(c.getSlope(), 0.75);
    EXPECT_EQ(c.getSampleRate(), 44100.0);
    EXPECT_EQ(c.getAttackCoef(), plain.getAttackCoef());
    EXPECT_EQ(c.getReleaseCoef(), plain.getReleaseCoef());
}

TEST(CompressorTest, KneeScalesWithThreshold)
{
    compressor c = instant(-20.0, 4.0, 0.5);
    EXPECT_EQ(c.getKneeWidth(), 10.0);
    EXPECT_EQ(c.getKneeLow(), -25.0);
    EXPECT_EQ(c.getKneeHigh(), -15.0);
    // Every setter re-derives, whatever the order.
    compressor d;
    d.setKnee(0.5);
    d.setRatio(10.0);
    d.setThreshold(-20.0);
    EXPECT_EQ(d.getKneeLow(), -25.0);
    EXPECT_EQ(d.getKneeHigh(), -15.0);
    EXPECT_EQ(d.getSlope(), 0.9);
}

TEST(CompressorTest, SoftKneeMeetsStraightLineAtBothBounds)
{
    compressor c = instant(-20.0, 4.0, 0.5);
    EXPECT_EQ(gainAtDb(c, -40.0), 0.0);
    EXPECT_NEAR(gainAtDb(c, -25.0 - 1e-6), 0.0, 1e-9);
    EXPECT_NEAR(gainAtDb(c, -25.0 + 1e-6), 0.0, 1e-9);
    EXPECT_NEAR(gainAtDb(c, -20.0), -0.75 * 25.0 / 20.0, 1e-9);   // mid-knee
    EXPECT_NEAR(gainAtDb(c, -15.0 - 1e-6), -3.75, 1e-5);
    EXPECT_NEAR(gainAtDb(c, -15.0 + 1e-6), -3.75, 1e-5);
    EXPECT_NEAR(gainAtDb(c, -10.0), -7.5, 1e-9);
}

TEST(CompressorTest, ZeroThresholdIsAHardKnee)
{
    for (double knee : {0.0, 1.0}) {
        compressor c = instant(0.0, 4.0, knee);
        EXPECT_EQ(gainAtDb(c, -40.0), 0.0);
        EXPECT_EQ(gainAtDb(c, -0.01), 0.0);
        EXPECT_EQ(gainAtDb(c, 0.0), 0.0);
        EXPECT_NEAR(gainAtDb(c, 6.0), -4.5, 1e-9);
    }
}

TEST(CompressorTest, SilenceGivesNoGainWhileCompressing)
{
    for (double ratio : {1.0, 1.5, 4.0, 10.0}) {
        compressor c = instant(-30.0, ratio, 0.6);
        EXPECT_EQ(c.computeGain(), 0.0) << "ratio " << ratio;
        EXPECT_EQ(c.process(0.0), 0.0);
    }
}

TEST(CompressorTest, RatioBelowOneExpands)
{
    compressor c = instant(-20.0, 0.5, 0.0);   // slope -1
    EXPECT_NEAR(gainAtDb(c, -40.0), -20.0, 1e-9);
    EXPECT_EQ(gainAtDb(c, -10.0), 0.0);
    c.clearState();
    EXPECT_EQ(c.computeGain(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(std::exp(c.getGainDb() * 0.1151292546497), 0.0);
}

TEST(CompressorTest, ProcessAppliesGainThroughTheVirtualSlot)
{
    compressor c = instant(-20.0, 4.0, 0.0);
    envFollower& f = c;
    const double y = f.process(-1.0);
    EXPECT_EQ(c.getEnvelope(), 1.0);
    EXPECT_NEAR(c.getGainDb(), -15.0, 1e-12);
    EXPECT_NEAR(y, -std::pow(10.0, -15.0 / 20.0), 1e-12);

    envFollower plain;
    EXPECT_EQ(plain.process(-1.0), -1.0);
}

TEST(CompressorTest, GainSettersKeepDetectorState)
{
    compressor c;
    for (int i = 0; i < 50; ++i)
        c.detect(0.7);
    const double env = c.getEnvelope();
    c.setThreshold(-12.0);
    c.setRatio(3.0);
    c.setKnee(0.8);
    EXPECT_EQ(c.getEnvelope(), env);
}
