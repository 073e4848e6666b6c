#include "SnapshotCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
typedef std::vector<std::string> Args;
}

TEST(SnapshotCommandLine, SetsAudioAndOutput)
{
    SnapshotCommandLine line;
    ASSERT_TRUE(line.parse(Args{"--set", "AC Threshold=20", "--set=Release=3", "--audio", "in.wav", "out.png"}))
        << line.error();
    const SnapshotCommandLine::Options& o = line.options();
    ASSERT_EQ(o.sets.size(), 2u);
    EXPECT_EQ(o.sets[0], (ParameterSettings::Setting{"AC Threshold", "20"}));
    EXPECT_EQ(o.sets[1], (ParameterSettings::Setting{"Release", "3"}));
    EXPECT_EQ(o.audioPath, "in.wav");
    EXPECT_FALSE(o.demo);
    EXPECT_EQ(o.outputPath, "out.png");

    ASSERT_TRUE(line.parse(Args{"--demo", "--", "-odd.png"})) << line.error();
    EXPECT_TRUE(line.options().demo);
    EXPECT_EQ(line.options().outputPath, "-odd.png");
    EXPECT_TRUE(line.parse(Args{"--help"}));
    EXPECT_TRUE(line.options().help);
}

TEST(SnapshotCommandLine, RefusesWhatItCannotRun)
{
    const std::vector<std::pair<Args, std::string>> cases = {
        {{}, "no OUTPUT.png"},
        {{"a.png", "b.png"}, "too many file arguments"},
        {{"--demo", "--audio", "x.wav", "o.png"}, "use one of them"},
        {{"--set", "Release", "o.png"}, "--set needs NAME=VALUE, not 'Release'"},
        {{"--set", "=3", "o.png"}, "--set needs NAME=VALUE"},
        {{"--set", "Release=", "o.png"}, "--set needs NAME=VALUE"},
        {{"--set"}, "option --set needs a value"},
        {{"--audio=", "o.png"}, "needs a non-empty value"},
        {{"--demo=1", "o.png"}, "takes no value"},
        {{"--block", "64", "o.png"}, "unknown option '--block'"},
    };
    for (const auto& c : cases) {
        SnapshotCommandLine line;
        EXPECT_FALSE(line.parse(c.first)) << c.second;
        EXPECT_NE(line.error().find(c.second), std::string::npos) << line.error();
    }
}

TEST(SnapshotCommandLine, ScaleTakesADisplayScaleFromOneToTwo)
{
    const std::vector<std::pair<Args, double>> accepted = {
        {{"--scale", "1", "o.png"}, 1.0},   {{"--scale", "1.0", "o.png"}, 1.0},   {{"--scale", "1.25", "o.png"}, 1.25},
        {{"--scale=1.5", "o.png"}, 1.5},    {{"o.png", "--scale", "1.75"}, 1.75}, {{"--scale", "2", "o.png"}, 2.0},
        {{"--scale", "1.3", "o.png"}, 1.3},   // the editor rounds it to a quarter
    };
    for (const auto& c : accepted) {
        SnapshotCommandLine line;
        ASSERT_TRUE(line.parse(c.first)) << c.first[1] << ": " << line.error();
        EXPECT_TRUE(line.options().scaleGiven);
        EXPECT_EQ(line.options().scale, c.second);
        EXPECT_EQ(line.options().outputPath, "o.png");
    }
    SnapshotCommandLine plain;
    ASSERT_TRUE(plain.parse(Args{"o.png"}));
    EXPECT_FALSE(plain.options().scaleGiven);
    EXPECT_EQ(plain.options().scale, 1.0);
}

TEST(SnapshotCommandLine, ScaleRefusesWhatIsNoScaleItCanDraw)
{
    for (const char* value : {"0.99", "2.01", "3", "-1", "0", "abc", "1.5x", "1,5", "nan", "inf"}) {
        SnapshotCommandLine line;
        EXPECT_FALSE(line.parse(Args{"--scale", value, "o.png"})) << value;
        EXPECT_NE(
            line.error().find(std::string("--scale needs a display scale from 1 to 2 (e.g. 1.5), not '") + value + "'"),
            std::string::npos)
            << line.error();
    }
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--scale=", "o.png"}, "option --scale needs a non-empty value"},
        {{"o.png", "--scale"}, "option --scale needs a value"},
        {{"--scale", "1.5", "--curve", "c.png"}, "--scale sizes the editor image; give OUTPUT.png"},
    };
    for (const auto& c : cases) {
        SnapshotCommandLine line;
        EXPECT_FALSE(line.parse(c.first)) << c.second;
        EXPECT_NE(line.error().find(c.second), std::string::npos) << line.error();
    }
}
