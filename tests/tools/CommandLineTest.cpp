#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {
CommandLine parsed(const std::vector<std::string>& args, bool expectOk = true)
{
    CommandLine commandLine;
    EXPECT_EQ(commandLine.parse(args), expectOk) << commandLine.error();
    return commandLine;
}

std::string errorOf(const std::vector<std::string>& args)
{
    CommandLine commandLine;
    EXPECT_FALSE(commandLine.parse(args));
    EXPECT_FALSE(commandLine.error().empty());
    return commandLine.error();
}
}   // namespace

TEST(CommandLine, TakesEveryOption)
{
    const CommandLine c = parsed({"--plugin", "/x/Tidepull.vst3", "--set", "AC Threshold=20", "--set=MIX=50",
                                  "--sidechain", "sc.wav", "--block", "64", "--precision=64", "--state-in", "a.state",
                                  "--state-out", "b.state", "--host-bypass", "in.wav", "out.wav"});
    const CommandLine::Options& o = c.options();
    EXPECT_EQ(o.pluginPath, "/x/Tidepull.vst3");
    ASSERT_EQ(o.sets.size(), 2u);
    EXPECT_EQ(o.sets[0].first, "AC Threshold");
    EXPECT_EQ(o.sets[0].second, "20");
    EXPECT_EQ(o.sets[1].first, "MIX");
    EXPECT_EQ(o.sets[1].second, "50");
    EXPECT_EQ(o.sidechainPath, "sc.wav");
    EXPECT_EQ(o.blockSize, 64);
    EXPECT_EQ(o.precision, 64);
    EXPECT_EQ(o.stateInPath, "a.state");
    EXPECT_EQ(o.stateOutPath, "b.state");
    EXPECT_TRUE(o.hostBypass);
    EXPECT_FALSE(o.listParams);
    EXPECT_EQ(o.inputPath, "in.wav");
    EXPECT_EQ(o.outputPath, "out.wav");
}

TEST(CommandLine, DefaultsAndFileArguments)
{
    const CommandLine demo = parsed({"out.wav"});
    EXPECT_TRUE(demo.options().inputPath.empty());
    EXPECT_EQ(demo.options().outputPath, "out.wav");
    EXPECT_EQ(demo.options().blockSize, 512);
    EXPECT_EQ(demo.options().precision, 32);
    EXPECT_TRUE(demo.options().pluginPath.empty());

    EXPECT_TRUE(parsed({"--list-params"}).options().listParams);
    EXPECT_TRUE(parsed({"--help"}).options().help);
    EXPECT_TRUE(parsed({"-h", "a", "b", "c"}).options().help);

    const CommandLine dashed = parsed({"--", "-in.wav", "--out.wav"});
    EXPECT_EQ(dashed.options().inputPath, "-in.wav");
    EXPECT_EQ(dashed.options().outputPath, "--out.wav");

    EXPECT_EQ(parsed({"--block", "1", "o.wav"}).options().blockSize, 1);
    EXPECT_EQ(parsed({"--block", "65536", "o.wav"}).options().blockSize, 65536);
    EXPECT_EQ(parsed({"--set", "Input Atten=-6", "o.wav"}).options().sets[0].second, "-6");
}

TEST(CommandLine, RefusesUnknownOptions)
{
    EXPECT_NE(errorOf({"--frobnicate", "o.wav"}).find("--frobnicate"), std::string::npos);
    EXPECT_NE(errorOf({"-x", "o.wav"}).find("-x"), std::string::npos);
    EXPECT_NE(errorOf({"--host-bypass=1", "o.wav"}).find("--host-bypass"), std::string::npos);
}

TEST(CommandLine, RefusesMissingValues)
{
    for (const char* option :
         {"--plugin", "--set", "--sidechain", "--block", "--precision", "--state-in", "--state-out"}) {
        EXPECT_NE(errorOf({"o.wav", option}).find(option), std::string::npos) << option;
        EXPECT_NE(errorOf({"o.wav", std::string(option) + "="}).find(option), std::string::npos) << option;
    }
}

TEST(CommandLine, RefusesBadPrecision)
{
    for (const char* bad : {"16", "48", "3 2", "32x", "64.0", "-32"})
        EXPECT_NE(errorOf({"--precision", bad, "o.wav"}).find("--precision"), std::string::npos) << bad;
}

TEST(CommandLine, RefusesBadBlockSize)
{
    for (const char* bad : {"0", "-1", "65537", "12x", "x", "1.5", "99999999999999999999"})
        EXPECT_NE(errorOf({"--block", bad, "o.wav"}).find("--block"), std::string::npos) << bad;
}

TEST(CommandLine, RefusesBadSettings)
{
    for (const char* bad : {"AC Threshold", "=20", "AC Threshold="})
        EXPECT_NE(errorOf({"--set", bad, "o.wav"}).find("NAME=VALUE"), std::string::npos) << bad;
}

TEST(CommandLine, TakesRampsInOrderAndRefusesBadOnes)
{
    const CommandLine c = parsed({"--ramp", "AC Threshold=5:40", "--ramp=Output=-3.5:-12", "o.wav"});
    ASSERT_EQ(c.options().ramps.size(), 2u);
    EXPECT_EQ(c.options().ramps[0].name, "AC Threshold");
    EXPECT_EQ(c.options().ramps[0].from, "5");
    EXPECT_EQ(c.options().ramps[0].to, "40");
    EXPECT_EQ(c.options().ramps[1].name, "Output");
    EXPECT_EQ(c.options().ramps[1].from, "-3.5");
    EXPECT_EQ(c.options().ramps[1].to, "-12");
    for (const char* bad : {"MIX", "MIX=", "MIX=5", "MIX=:5", "MIX=5:", "=1:2"})
        EXPECT_NE(errorOf({"--ramp", bad, "o.wav"}).find("NAME=FROM:TO"), std::string::npos) << bad;
    EXPECT_NE(errorOf({"o.wav", "--ramp"}).find("--ramp"), std::string::npos);
}

TEST(CommandLine, RefusesWrongNumberOfFiles)
{
    EXPECT_NE(errorOf({"a.wav", "b.wav", "c.wav"}).find("too many"), std::string::npos);
    EXPECT_NE(errorOf({}).find("OUTPUT"), std::string::npos);
    EXPECT_NE(errorOf({"--block", "64"}).find("OUTPUT"), std::string::npos);
}
