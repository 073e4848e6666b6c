#include "SnapshotCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
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
    for (const auto& c : cases)
    {
        SnapshotCommandLine line;
        EXPECT_FALSE(line.parse(c.first)) << c.second;
        EXPECT_NE(line.error().find(c.second), std::string::npos) << line.error();
    }
}
