// The audio path's faster building blocks against the exact ones they stand
// in for: the saturation curve's table, the band-pass's three clocks as
// weighted sums (held or not, alone and in pairs), exp and log that skip the
// correct rounding, and the release coefficient made from them.
#include "dsp/compressor.h"
#include "dsp/envFollower.h"
#include "dsp/portableMath.h"
#include "dsp/saturate.h"
#include "dsp/saturateTable.h"
#include "dsp/stageFilter.h"
#include "dsp/stageFilterPair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A reproducible spread of values in [-1, 1).
class Noise {
public:
    double Next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) * 0x1p-52 - 1.0;
    }

private:
    uint64_t state = 42;
};

}   // namespace

TEST(SaturateTableTest, StaysWithinTwoE14OfTheCurveAcrossItsRange)
{
    const saturateTable& table = saturateTable::shared();
    double worst = 0.0;
    // Every interval, its edges and the series' border at 1/32 included.
    for (int k = -2600000; k <= 2600000; ++k) {
        const double s = k * 3.2e-6;
        worst = std::max(worst, std::fabs(table.eval(s) - saturate(s)));
    }
    EXPECT_LT(worst, 2e-14);
}

TEST(SaturateTableTest, SmallArgumentsKeepTheirRelativeAccuracy)
{
    const saturateTable& table = saturateTable::shared();
    // The series, down to the subnormals.
    for (double s = 1e-300; s < 0x1p-10; s *= 1.37) {
        for (double x : {s, -s})
            EXPECT_NEAR(table.eval(x), saturate(x), std::fabs(saturate(x)) * 1e-15) << x;
    }
    // The table from the series' edge up: its absolute error is a small
    // part of even the quietest argument it takes.
    double worst = 0.0;
    for (double s = 0x1p-10; s < 1.0; s *= 1.001) {
        for (double x : {s, -s})
            worst = std::max(worst, std::fabs(table.eval(x) - saturate(x)) / std::fabs(saturate(x)));
    }
    EXPECT_LT(worst, 2e-11);
    RecordProperty("worst_relative_error_in_the_table", (testing::Message() << worst).GetString());
    EXPECT_EQ(table.eval(0.0), 0.0);
}

TEST(SaturateTableTest, OutsideTheTableTheCurveItselfAnswers)
{
    const saturateTable& table = saturateTable::shared();
    const double inf = std::numeric_limits<double>::infinity();
    for (double s : {8.0, -8.0, 8.000001, -20.0, 1e6, -1e300, inf, -inf})
        EXPECT_TRUE(SameBits(table.eval(s), saturate(s))) << s;
    EXPECT_TRUE(std::isnan(table.eval(std::numeric_limits<double>::quiet_NaN())));
}

TEST(SaturateTableTest, PairsGiveEachArgumentItsOwnResultToTheBit)
{
    const saturateTable& table = saturateTable::shared();
    Noise noise;
    // Both in the table, one or both in the series or beyond the table.
    const double scales[] = {1.0, 9.0, 0.02, 1e-5};
    for (int i = 0; i < 100000; ++i) {
        const double l = noise.Next() * scales[i % 4];
        const double r = noise.Next() * scales[(i / 4) % 4];
        double outL = 0.0;
        double outR = 0.0;
        table.evalPair(l, r, outL, outR);
        ASSERT_TRUE(SameBits(outL, table.eval(l))) << l;
        ASSERT_TRUE(SameBits(outR, table.eval(r))) << r;
    }
}

namespace {

// The largest difference, over two seconds of noise at rate, between the
// three clocks as one weighted sum and three ticks of an exact filter; the
// second and third inputs lie `apart` (relative) from the first, as a gliding
// drive puts them. Rounding differences only, which the stable filter keeps
// bounded (largest at 96 kHz, whose poles sit closest to the unit circle).
double WorstAgainstThreeTicks(double rate, double apart)
{
    stageFilter exact;
    stageFilter summed;
    exact.setRate(2.0 * rate);
    summed.setRate(2.0 * rate);
    Noise noise;
    double worst = 0.0;
    for (int i = 0; i < static_cast<int>(rate) * 2; ++i) {
        const double x = noise.Next();
        const double xb = x * (1.0 + apart * noise.Next());
        const double xc = x * (1.0 + apart * noise.Next());
        const double want = exact.tick(x);
        exact.tick(xb);
        exact.tick(xc);
        const double got = apart == 0.0 ? summed.tickHeld(x) : summed.tickThree(x, xb, xc);
        worst = std::max(worst, std::fabs(got - want));
    }
    return worst;
}

}   // namespace

TEST(StageFilterSumsTest, ThreeClocksFollowThreeTicks)
{
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        EXPECT_LT(WorstAgainstThreeTicks(rate, 0.0), 1e-12) << "held, " << rate;
        EXPECT_LT(WorstAgainstThreeTicks(rate, 1e-3), 1e-12) << "three inputs, " << rate;
    }
}

namespace {

// A pair against two filters alone that started with different histories,
// in blocks of 64 samples: step(pair, soloLeft, soloRight, block, i) clocks
// all three and compares. Written back, each filter goes on as its lone twin.
template <typename Step>
void PairAgainstSolo(double twiceRate, Step step)
{
    stageFilter left, right, soloLeft, soloRight;
    for (stageFilter* f : {&left, &right, &soloLeft, &soloRight})
        f->setRate(twiceRate);
    Noise noise;
    for (int i = 0; i < 100; ++i) {
        const double l = noise.Next();
        const double r = 0.5 * noise.Next();
        left.tick(l);
        soloLeft.tick(l);
        right.tick(r);
        soloRight.tick(r);
    }
    for (int block = 0; block < 20; ++block) {
        stageFilterPair pair(left, right);
        for (int i = 0; i < 64; ++i)
            ASSERT_NO_FATAL_FAILURE(step(pair, soloLeft, soloRight, noise, block, i));
        pair.store(left, right);
        const double x = noise.Next();
        ASSERT_TRUE(SameBits(left.tick(x), soloLeft.tick(x)));
        ASSERT_TRUE(SameBits(right.tick(-x), soloRight.tick(-x)));
    }
}

}   // namespace

TEST(StageFilterSumsTest, ThePairGivesEachFilterItsOwnHeldClocksToTheBit)
{
    PairAgainstSolo(
        96000.0,
        [](stageFilterPair& pair, stageFilter& soloLeft, stageFilter& soloRight, Noise& noise, int block, int i) {
        const double l = noise.Next();
        const double r = noise.Next() * 3.0;
        double outL = 0.0;
        double outR = 0.0;
        pair.tickHeld(l, r, outL, outR);
        ASSERT_TRUE(SameBits(outL, soloLeft.tickHeld(l))) << block << " " << i;
        ASSERT_TRUE(SameBits(outR, soloRight.tickHeld(r))) << block << " " << i;
        });
}

TEST(StageFilterSumsTest, ThePairClocksEachFilterAsItWouldAloneToTheBit)
{
    // Held in both, in one, in the other, in neither: every mix of lanes.
    PairAgainstSolo(
        88200.0,
        [](stageFilterPair& pair, stageFilter& soloLeft, stageFilter& soloRight, Noise& noise, int block, int i) {
        const int kind = (i + block) % 4;
        const double l = noise.Next();
        const double r = noise.Next() * 2.0;
        const double l2 = kind & 1 ? l : l * 1.0001;
        const double l3 = kind & 1 ? l : l * 1.0002;
        const double r2 = kind & 2 ? r : r * 0.9999;
        const double r3 = kind & 2 ? r : r * 0.9998;
        double outL = 0.0;
        double outR = 0.0;
        pair.clockThree(l, l2, l3, r, r2, r3, outL, outR);
        const double wantL = kind & 1 ? soloLeft.tickHeld(l) : soloLeft.tickThree(l, l2, l3);
        const double wantR = kind & 2 ? soloRight.tickHeld(r) : soloRight.tickThree(r, r2, r3);
        ASSERT_TRUE(SameBits(outL, wantL)) << block << " " << i;
        ASSERT_TRUE(SameBits(outR, wantR)) << block << " " << i;
        });
}

TEST(FastMathTest, ExpWithinTwoToTheMinus50)
{
    Noise noise;
    for (int i = 0; i < 200000; ++i) {
        const double x = 40.0 * noise.Next();
        const double exact = portableMath::exp(x);
        ASSERT_NEAR(portableMath::fastExp(x), exact, exact * 0x1p-50) << x;
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {0.0, -0.0, 400.0, -400.0, 710.0, -746.0, inf, -inf})
        EXPECT_TRUE(SameBits(portableMath::fastExp(x), portableMath::exp(x))) << x;
    EXPECT_TRUE(std::isnan(portableMath::fastExp(std::numeric_limits<double>::quiet_NaN())));
}

TEST(FastMathTest, LogWithinTwoToTheMinus50)
{
    Noise noise;
    for (int i = 0; i < 200000; ++i) {
        // Across the exponent range, and close to 1 where log is small.
        const double x = std::ldexp(1.0 + 0.5 * (noise.Next() + 1.0), static_cast<int>(noise.Next() * 900.0));
        const double near1 = 1.0 + noise.Next() * 1e-3;
        for (double v : {x, near1}) {
            const double exact = portableMath::log(v);
            ASSERT_NEAR(portableMath::fastLog(v), exact, std::max(std::fabs(exact), 1.0) * 0x1p-50) << v;
        }
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {0.0, 1.0, 1e-310, inf})
        EXPECT_TRUE(SameBits(portableMath::fastLog(x), portableMath::log(x))) << x;
    EXPECT_TRUE(std::isnan(portableMath::fastLog(-1.0)));
}

TEST(FastMathTest, FastReleaseCoefficientMatchesTheExactOne)
{
    envFollower exact;
    envFollower fast;
    for (double ms = 7000.0; ms < 25000.0; ms += 0.37) {
        exact.setRelease(ms);
        fast.setReleaseFast(ms);
        ASSERT_NEAR(fast.getReleaseCoef(), exact.getReleaseCoef(), 0x1p-50) << ms;
    }
    // Unchanged time, unchanged coefficient: the early return holds.
    const double before = fast.getReleaseCoef();
    fast.setReleaseFast(24999.81);
    fast.setReleaseFast(24999.81);
    EXPECT_NE(fast.getReleaseCoef(), before);
    EXPECT_NEAR(fast.getReleaseCoef(), portableMath::pow(0.01, 1.0 / (24999.81 * 44100.0 * 0.001)), 0x1p-50);
    // Short times take the other road, just as close.
    for (double ms = 0.05; ms < 7000.0; ms *= 1.1) {
        exact.setRelease(ms);
        fast.setReleaseFast(ms);
        ASSERT_NEAR(fast.getReleaseCoef(), exact.getReleaseCoef(), 0x1p-50) << ms;
    }
}

TEST(FastMathTest, DetectingByChoosingFollowsDetectToTheBit)
{
    envFollower branching;
    envFollower choosing;
    for (envFollower* f : {&branching, &choosing}) {
        f->setAttack(0.8);
        f->setRelease(300.0);
        f->setHold(3.0);
    }
    Noise noise;
    for (int i = 0; i < 200000; ++i) {
        // Bursts and gaps, so rises, holds and releases all come up.
        const double x = (i / 2000) % 3 == 2 ? 0.0 : noise.Next() * ((i / 500) % 2 ? 1.0 : 0.1);
        branching.detect(x);
        choosing.detectSelect(x);
        ASSERT_TRUE(SameBits(choosing.getEnvelope(), branching.getEnvelope())) << i;
        ASSERT_EQ(choosing.getHoldCount(), branching.getHoldCount()) << i;
    }
}

TEST(FastMathTest, PairsGiveEachArgumentTheOneArgumentBits)
{
    Noise noise;
    const double inf = std::numeric_limits<double>::infinity();
    const double odd[] = {0.0, 1e-310, inf, -1.0, 400.0, -800.0, std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < 100000; ++i) {
        double a = std::ldexp(1.0 + 0.5 * (noise.Next() + 1.0), static_cast<int>(noise.Next() * 60.0));
        double b = noise.Next() * 30.0;
        if (i % 97 == 0)
            a = odd[(i / 97) % 7];
        if (i % 89 == 0)
            b = odd[(i / 89) % 7];
        double outA = 0.0;
        double outB = 0.0;
        portableMath::fastLogPair(a, std::fabs(b), outA, outB);
        ASSERT_TRUE(SameBits(outA, portableMath::fastLog(a))) << a;
        ASSERT_TRUE(SameBits(outB, portableMath::fastLog(std::fabs(b)))) << b;
        portableMath::fastExpPair(b, -a, outA, outB);
        ASSERT_TRUE(SameBits(outA, portableMath::fastExp(b))) << b;
        ASSERT_TRUE(SameBits(outB, portableMath::fastExp(-a))) << a;
    }
}

// A compressor whose envelope a test can place exactly.
class PlacedEnvelope : public compressor {
public:
    void place(double e) { envelope = e; }
};

TEST(FastMathTest, GainsInPairsAreComputeGainFastsToTheBit)
{
    // Soft knees and hard ones, compressing and expanding, envelopes in and
    // around the knee, at 0 and beyond full scale.
    const struct {
        double threshold, ratio, knee;
    } curves[] = {{-14.0, 2.0, 1.0}, {-30.0, 10.0, 0.4}, {0.0, 4.0, 0.0}, {-20.0, 0.5, 0.6}, {-50.0, 1.0, 0.8}};
    Noise noise;
    for (const auto& c : curves) {
        PlacedEnvelope k;
        k.setThreshold(c.threshold);
        k.setRatio(c.ratio);
        k.setKnee(c.knee);
        PlacedEnvelope other;
        other.setThreshold(c.threshold * 0.5 - 3.0);
        other.setRatio(c.ratio + 1.5);
        other.setKnee(0.7);
        for (int i = 0; i < 20000; ++i) {
            const double envA = i % 101 == 0 ? 0.0 : std::pow(10.0, noise.Next() * 4.0 - 2.0);
            const double envB = std::pow(10.0, noise.Next() * 3.0 - 2.5);
            double gainA = 0.0;
            double gainB = 0.0;
            k.gainsFast(envA, envB, gainA, gainB);
            // The same through the form that takes a curve per envelope,
            // with the curve of another compressor in the other lane.
            double viaCurveA = 0.0;
            double viaCurveB = 0.0;
            compressor::gainsFast(envA, k.curve(), envA, other.curve(), viaCurveA, viaCurveB);
            k.place(envA);
            ASSERT_TRUE(SameBits(gainA, k.computeGainFast())) << envA << " " << c.threshold;
            ASSERT_TRUE(SameBits(viaCurveA, gainA)) << envA;
            other.place(envA);
            ASSERT_TRUE(SameBits(viaCurveB, other.computeGainFast())) << envA;
            k.place(envB);
            ASSERT_TRUE(SameBits(gainB, k.computeGainFast())) << envB << " " << c.threshold;
        }
    }
}
