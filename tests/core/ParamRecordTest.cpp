#include "core/ParamRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void InitDb(ParamRecord& p)
{
    p.InitContinuous("Input Atten", 0.0, -18.0, 18.0, 0.01, "%", "", 1.0);
}

void InitChoice(ParamRecord& p)
{
    p.InitInteger("Release", 0, 0, 5, "", "");
}

std::string Format(const ParamRecord& p, double v, bool normalized = false)
{
    char buf[32];
    p.FormatValue(v, normalized, buf, sizeof buf);
    return buf;
}

std::string FormatCurrent(const ParamRecord& p)
{
    char buf[32];
    p.FormatValue(buf);
    return buf;
}

}   // namespace

// ---- initialisers ----

TEST(ParamRecordInit, FreshRecordHasTheModelsInitialValues)
{
    ParamRecord p;
    EXPECT_EQ(p.Kind(), kParamNone);
    EXPECT_EQ(p.Value(), 0.0);
    EXPECT_EQ(p.Min(), 0.0);
    EXPECT_EQ(p.Max(), 1.0);
    EXPECT_EQ(p.Step(), 1.0);
    EXPECT_EQ(p.Shape(), 1.0);
    EXPECT_EQ(p.Default(), 0.0);
    EXPECT_EQ(p.Precision(), 0);
    EXPECT_STREQ(p.Name(), "");
    EXPECT_STREQ(p.Label(), "");
    EXPECT_STREQ(p.Group(), "");
    EXPECT_FALSE(p.NegateDisplay());
    EXPECT_TRUE(p.Automatable());
    EXPECT_EQ(p.DisplayTextCount(), 0);
}

TEST(ParamRecordInit, ContinuousSetsEveryField)
{
    ParamRecord p;
    p.InitContinuous("Gain", -3.0, -18.0, 18.0, 0.01, "%", "Main", 1.0);
    EXPECT_EQ(p.Kind(), kParamContinuous);
    EXPECT_EQ(p.Value(), -3.0);
    EXPECT_EQ(p.Default(), -3.0);
    EXPECT_EQ(p.Min(), -18.0);
    EXPECT_EQ(p.Max(), 18.0);
    EXPECT_EQ(p.Step(), 0.01);
    EXPECT_EQ(p.Precision(), 2);
    EXPECT_EQ(p.Shape(), 1.0);
    EXPECT_STREQ(p.Name(), "Gain");
    EXPECT_STREQ(p.Label(), "%");
    EXPECT_STREQ(p.Group(), "Main");
}

TEST(ParamRecordInit, IntegerIsStepOnePrecisionZeroLinear)
{
    ParamRecord p;
    InitChoice(p);
    EXPECT_EQ(p.Kind(), kParamInteger);
    EXPECT_EQ(p.Step(), 1.0);
    EXPECT_EQ(p.Precision(), 0);
    EXPECT_EQ(p.Shape(), 1.0);
    EXPECT_EQ(p.Min(), 0.0);
    EXPECT_EQ(p.Max(), 5.0);
    EXPECT_EQ(p.Value(), 0.0);
}

TEST(ParamRecordInit, PrecisionCountsTheStepsDecimalsUpToSix)
{
    const struct {
        double step;
        int32_t precision;
    } cases[] = {{0.01, 2}, {1.0, 0}, {1e-9, 6}, {0.5, 1}, {0.25, 2}, {10.0, 0}};
    for (const auto& c : cases) {
        ParamRecord p;
        p.InitContinuous("p", 0.0, 0.0, 100.0, c.step, "", "", 1.0);
        EXPECT_EQ(p.Precision(), c.precision) << "step " << c.step;
    }
}

TEST(ParamRecordInit, MaxIsRaisedToMinPlusStep)
{
    ParamRecord p;
    p.InitContinuous("p", 0.0, 0.0, 0.5, 1.0, "", "", 1.0);
    EXPECT_EQ(p.Max(), 1.0);

    ParamRecord q;
    q.InitContinuous("q", 0.0, 2.0, -4.0, 0.5, "", "", 1.0);
    EXPECT_EQ(q.Max(), 2.5);
}

TEST(ParamRecordInit, AnEarlierKindSurvivesALaterInitialiser)
{
    ParamRecord p;
    InitChoice(p);
    p.InitContinuous("p", 1.0, 0.0, 10.0, 0.1, "", "", 1.0);
    EXPECT_EQ(p.Kind(), kParamInteger);
}

TEST(ParamRecordInit, ShapeExponentZeroIsIgnored)
{
    ParamRecord p;
    p.InitContinuous("p", 0.0, 0.0, 1.0, 0.01, "", "", 2.0);
    EXPECT_EQ(p.Shape(), 2.0);
    p.SetShapeExponent(0.0);
    EXPECT_EQ(p.Shape(), 2.0);
    p.SetShapeExponent(3.0);
    EXPECT_EQ(p.Shape(), 3.0);

    ParamRecord q;
    q.InitContinuous("q", 0.0, 0.0, 1.0, 0.01, "", "", 0.0);
    EXPECT_EQ(q.Shape(), 1.0);
}

// ---- plain and normalised values ----

TEST(ParamRecordValue, IntegerFromNormalizedRoundsToTheStep)
{
    ParamRecord p;
    InitChoice(p);
    p.SetFromNormalized(0.5);
    EXPECT_EQ(p.Value(), 3.0);
    p.SetFromNormalized(0.49);
    EXPECT_EQ(p.Value(), 2.0);
    p.SetFromNormalized(1.0);
    EXPECT_EQ(p.Value(), 5.0);
    p.SetFromNormalized(0.0);
    EXPECT_EQ(p.Value(), 0.0);
}

TEST(ParamRecordValue, ContinuousFromNormalizedKeepsFractions)
{
    ParamRecord p;
    p.InitContinuous("p", 0.0, 0.0, 50.0, 0.01, "", "", 1.0);
    p.SetFromNormalized(0.25);
    EXPECT_EQ(p.Value(), 12.5);
    p.SetFromNormalized(0.123456);
    EXPECT_DOUBLE_EQ(p.Value(), 0.123456 * 50.0);
}

TEST(ParamRecordValue, StepGridIsAnchoredAtZeroAndCappedAtMax)
{
    ParamRecord p;
    InitChoice(p);   // kind Integer survives the re-initialisation below
    p.InitContinuous("p", 0.5, 0.5, 5.5, 1.0, "", "", 1.0);
    p.SetFromNormalized(0.0);
    EXPECT_EQ(p.Value(), 1.0);   // 0.5 rounds to the grid at 0, 1, 2...
    p.SetFromNormalized(1.0);
    EXPECT_EQ(p.Value(), 5.5);   // 6 would lie above max
}

TEST(ParamRecordValue, ShapeTwoRoundTrips)
{
    ParamRecord p;
    p.InitContinuous("p", 0.0, 0.0, 1.0, 0.001, "", "", 2.0);
    p.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(p.Value(), 0.25);
    EXPECT_DOUBLE_EQ(p.NormalizedOf(0.25), 0.5);
    EXPECT_DOUBLE_EQ(p.NormalizedOf(), 0.5);
    EXPECT_DOUBLE_EQ(p.PlainOf(0.5), 0.25);
}

TEST(ParamRecordValue, NormalizedOfClampsToTheRange)
{
    ParamRecord p;
    InitDb(p);
    EXPECT_EQ(p.NormalizedOf(100.0), 1.0);
    EXPECT_EQ(p.NormalizedOf(-100.0), 0.0);
    EXPECT_EQ(p.NormalizedOf(0.0), 0.5);
    EXPECT_EQ(p.NormalizedOf(-9.0), 0.25);
}

TEST(ParamRecordValue, PlainOfNeitherRoundsNorLimits)
{
    ParamRecord p;
    InitChoice(p);
    EXPECT_DOUBLE_EQ(p.PlainOf(0.5), 2.5);
    EXPECT_DOUBLE_EQ(p.PlainOf(2.0), 10.0);
}

TEST(ParamRecordValue, NormalizedDefaultIsNotLimited)
{
    ParamRecord p;
    p.InitContinuous("p", 30.0, -18.0, 18.0, 0.01, "", "", 1.0);
    EXPECT_DOUBLE_EQ(p.NormalizedDefault(), 48.0 / 36.0);

    ParamRecord q;
    InitDb(q);
    EXPECT_EQ(q.NormalizedDefault(), 0.5);
}

TEST(ParamRecordValue, SetValueClampsButDoesNotRound)
{
    ParamRecord p;
    InitDb(p);
    p.SetValue(100.0);
    EXPECT_EQ(p.Value(), 18.0);
    p.SetValue(-100.0);
    EXPECT_EQ(p.Value(), -18.0);
    p.SetValue(1.23456);
    EXPECT_EQ(p.Value(), 1.23456);

    ParamRecord q;
    InitChoice(q);
    q.SetValue(2.7);
    EXPECT_EQ(q.Value(), 2.7);
}

// ---- non-finite and out-of-range input ----

TEST(ParamRecordRobustness, NaNGivesTheDefault)
{
    ParamRecord p;
    p.InitContinuous("p", 4.0, -18.0, 18.0, 0.01, "", "", 1.0);
    p.SetValue(7.0);
    p.SetValue(kNaN);
    EXPECT_EQ(p.Value(), 4.0);

    p.SetValue(7.0);
    p.SetFromNormalized(kNaN);
    EXPECT_EQ(p.Value(), 4.0);

    ParamRecord q;
    q.InitInteger("q", 2, 0, 5, "", "");
    q.SetFromNormalized(1.0);
    q.SetFromNormalized(kNaN);
    EXPECT_EQ(q.Value(), 2.0);
}

TEST(ParamRecordRobustness, InfinitiesClamp)
{
    ParamRecord p;
    InitDb(p);
    p.SetValue(kInf);
    EXPECT_EQ(p.Value(), 18.0);
    p.SetValue(-kInf);
    EXPECT_EQ(p.Value(), -18.0);
    p.SetFromNormalized(kInf);
    EXPECT_EQ(p.Value(), 18.0);
    p.SetFromNormalized(-kInf);
    EXPECT_EQ(p.Value(), -18.0);
}

TEST(ParamRecordRobustness, NormalizedInputOutsideUnitRangeIsClamped)
{
    ParamRecord p;
    InitDb(p);
    p.SetFromNormalized(1.5);
    EXPECT_EQ(p.Value(), 18.0);
    p.SetFromNormalized(-0.5);
    EXPECT_EQ(p.Value(), -18.0);

    // With a non-integer shape a negative x would make the power NaN.
    ParamRecord s;
    s.InitContinuous("s", 0.5, 0.0, 1.0, 0.01, "", "", 0.5);
    s.SetFromNormalized(-0.25);
    EXPECT_EQ(s.Value(), 0.0);

    ParamRecord q;
    InitChoice(q);
    q.SetFromNormalized(-0.5);
    EXPECT_EQ(q.Value(), 0.0);
    q.SetFromNormalized(3.0);
    EXPECT_EQ(q.Value(), 5.0);
}

// ---- text ----

TEST(ParamRecordFormat, NumericFormatsFollowThePrecision)
{
    ParamRecord p;
    InitDb(p);
    EXPECT_EQ(Format(p, -6.0), "-6.00");
    EXPECT_EQ(Format(p, -3.5), "-3.50");
    p.SetValue(-6.0);
    EXPECT_EQ(FormatCurrent(p), "-6.00");

    ParamRecord q;
    InitChoice(q);
    q.SetValue(3.0);
    EXPECT_EQ(FormatCurrent(q), "3");
    EXPECT_EQ(Format(q, 4.0), "4");
    EXPECT_EQ(Format(q, 2.9), "2");
    EXPECT_EQ(Format(q, -2.9), "-2");
}

TEST(ParamRecordFormat, NormalizedInputIsMappedButNotRounded)
{
    ParamRecord p;
    InitDb(p);
    EXPECT_EQ(Format(p, 0.5, true), "0.00");
    EXPECT_EQ(Format(p, 0.25, true), "-9.00");

    ParamRecord q;
    InitChoice(q);
    EXPECT_EQ(Format(q, 0.5, true), "2");   // 2.5 truncates; step rounding would give 3
}

TEST(ParamRecordFormat, NegateDisplayFlipsTheSign)
{
    ParamRecord p;
    InitDb(p);
    p.SetNegateDisplay(true);
    EXPECT_EQ(Format(p, 3.5), "-3.50");
    EXPECT_EQ(Format(p, -6.0), "6.00");
}

TEST(ParamRecordFormat, DisplayTextsReplaceTheNumberAndTheLabel)
{
    ParamRecord p;
    p.InitInteger("Mode", 0, 0, 3, "dB", "");
    p.AddDisplayText(1, "On");
    p.AddDisplayText(1, "Second");
    p.AddDisplayText(2, "");
    EXPECT_EQ(p.DisplayTextCount(), 3);
    EXPECT_STREQ(p.DisplayTextFor(1), "On");   // first match wins
    EXPECT_STREQ(p.DisplayTextFor(3), "");

    p.SetValue(1.0);
    EXPECT_EQ(FormatCurrent(p), "On");
    EXPECT_STREQ(p.UnitLabel(), "");
    EXPECT_EQ(Format(p, 1.7), "On");   // looked up by the truncated value

    p.SetValue(0.0);
    EXPECT_EQ(FormatCurrent(p), "0");
    EXPECT_STREQ(p.UnitLabel(), "dB");

    p.SetValue(2.0);   // an empty entry counts as none
    EXPECT_EQ(FormatCurrent(p), "2");
    EXPECT_STREQ(p.UnitLabel(), "dB");
}

TEST(ParamRecordFormat, OverlongTextsAreCutAt31Bytes)
{
    const std::string longText(40, 'x');
    const std::string cut(31, 'x');
    ParamRecord p;
    p.InitContinuous(longText.c_str(), 0.0, 0.0, 1.0, 0.01, longText.c_str(), longText.c_str(), 1.0);
    EXPECT_EQ(std::string(p.Name()), cut);
    EXPECT_EQ(std::string(p.Label()), cut);
    EXPECT_EQ(std::string(p.Group()), cut);

    p.AddDisplayText(0, longText.c_str());
    EXPECT_EQ(std::string(p.DisplayTextFor(0)), cut);

    ParamRecord q;
    q.InitContinuous("q", 0.0, 0.0, 1.0, 0.01, nullptr, nullptr, 1.0);
    EXPECT_STREQ(q.Label(), "");
    EXPECT_STREQ(q.Group(), "");
}

TEST(ParamRecordFormat, HugeValuesNeverOverrunTheBuffer)
{
    ParamRecord cont;
    cont.InitContinuous("c", 0.0, -18.0, 18.0, 0.01, "", "", 1.0);
    ParamRecord integer;
    integer.InitInteger("i", 0, 0, 5, "", "");
    ParamRecord fine;
    fine.InitContinuous("f", 0.0, 0.0, 1.0, 1e-9, "", "", 1.0);

    const double values[] = {1e300, -1e300, 3e9, -3e9, 1e20, kInf, -kInf, kNaN};
    for (const ParamRecord* p : {&cont, &integer, &fine}) {
        for (double v : values) {
            char buf[33];
            std::memset(buf, 'G', sizeof buf);
            p->FormatValue(v, false, buf, 32);
            EXPECT_EQ(buf[32], 'G') << "value " << v;
            EXPECT_LE(std::strlen(buf), 31u) << "value " << v;

            char small[9];
            std::memset(small, 'G', sizeof small);
            p->FormatValue(v, false, small, 8);
            EXPECT_EQ(small[8], 'G') << "value " << v;
            EXPECT_LE(std::strlen(small), 7u) << "value " << v;
        }
    }

    // A cut text is the start of the full one.
    char buf[8];
    cont.FormatValue(123456789.25, false, buf, sizeof buf);
    EXPECT_STREQ(buf, "1234567");

    // Integers beyond 32 bits print their digits, not a wrapped int.
    char wide[32];
    integer.FormatValue(3e9, false, wide, sizeof wide);
    EXPECT_STREQ(wide, "3000000000");
}
