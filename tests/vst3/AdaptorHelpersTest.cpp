#include "vst3/IdentifyHost.h"
#include "vst3/Vst3Parameter.h"
#include "vst3/Vst3Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(IdentifyHost, MatchesAnywhereIgnoringCaseFirstEntryWins)
{
    EXPECT_EQ(IdentifyHost("REAPER64"), 1);
    EXPECT_EQ(IdentifyHost("Cubase Live Edition"), 3);   // table order, not text order
    EXPECT_EQ(IdentifyHost("Ableton Live"), 9);
    EXPECT_EQ(IdentifyHost("Bitwig Studio"), 0);
    EXPECT_EQ(IdentifyHost("VST3PluginTestHost"), 27);
    EXPECT_EQ(IdentifyHost("Ardour"), 28);
    EXPECT_EQ(IdentifyHost(""), 0);
    EXPECT_EQ(IdentifyHost(nullptr), 0);
}

TEST(IdentifyHost, NonAsciiBytesAreLeftAlone)
{
    // Only A-Z fold; a byte above 0x7F must not turn into a letter.
    EXPECT_EQ(IdentifyHost("\xC5LIVE"), 9);
    EXPECT_EQ(IdentifyHost("l\xC9ve"), 0);
}

TEST(Vst3Text, WidensAndCutsAt127Units)
{
    Steinberg::Vst::String128 out;
    std::string longText(300, 'x');
    WidenToString128(longText.c_str(), out);
    EXPECT_EQ(out[126], u'x');
    EXPECT_EQ(out[127], 0);
    WidenToString128("\xE9t\xE9", out);   // bytes widened one by one
    EXPECT_EQ(out[0], 0xE9);
    EXPECT_EQ(out[3], 0);

    char narrow[8];
    const Steinberg::Vst::TChar wide[] = {u'R', 0x0165, u'a', u'p', u'e', u'r', u'6', u'4', 0};
    NarrowFromString128(wide, narrow, sizeof narrow);
    EXPECT_STREQ(narrow, "Reaper6");   // low bytes kept, cut at the buffer
    EXPECT_EQ(static_cast<unsigned char>(narrow[1]), 0x65);
}

TEST(Vst3Parameter, ParsesTheLeadingNumberWhateverTheLocale)
{
    EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain("6"), 6.0);
    EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain("  -3.25 dB"), -3.25);
    EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain("+2"), 2.0);
    EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain("abc"), 0.0);
    EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain(""), 0.0);
    EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain("nan"), 0.0);
    EXPECT_TRUE(std::isinf(Vst3Parameter::ParsePlain("1e999")));
    EXPECT_LT(Vst3Parameter::ParsePlain("-1e999"), 0.0);

    // A host that switched LC_NUMERIC to a comma locale must not change parsing.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_DOUBLE_EQ(Vst3Parameter::ParsePlain("1.5"), 1.5);
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(Vst3Parameter, TextsAndConversionsComeFromTheRecord)
{
    ParamRecord record;
    record.InitContinuous("Input Atten", 0.0, -18.0, 18.0, 0.01, "%", "", 1.0);
    Vst3Parameter param(record, 0, 0);
    EXPECT_EQ(param.getInfo().stepCount, 0);
    EXPECT_DOUBLE_EQ(param.getInfo().defaultNormalizedValue, 0.5);
    EXPECT_EQ(param.getInfo().flags, Steinberg::Vst::ParameterInfo::kCanAutomate);
    EXPECT_EQ(param.getInfo().units[0], u'%');

    Steinberg::Vst::String128 text;
    param.toString(0.25, text);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), u"-9.00");

    Steinberg::Vst::ParamValue normalized = -1.0;
    const Steinberg::Vst::TChar huge[] = {u'1', u'e', u'9', u'9', u'9', 0};
    EXPECT_TRUE(param.fromString(huge, normalized));
    EXPECT_DOUBLE_EQ(normalized, 1.0);   // clamps, never NaN
    const Steinberg::Vst::TChar nan[] = {u'n', u'a', u'n', 0};
    EXPECT_TRUE(param.fromString(nan, normalized));
    EXPECT_DOUBLE_EQ(normalized, 0.5);   // no number reads as 0.0
    EXPECT_DOUBLE_EQ(param.toPlain(0.75), 9.0);
    EXPECT_DOUBLE_EQ(param.toNormalized(100.0), 1.0);

    ParamRecord release;
    release.InitInteger("Release", 0, 0, 5, "", "");
    Vst3Parameter releaseParam(release, 4, 0);
    EXPECT_EQ(releaseParam.getInfo().stepCount, 5);
    EXPECT_EQ(releaseParam.getInfo().units[0], 0);
}
