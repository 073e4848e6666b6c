#include "SnapshotCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
typedef std::vector<std::string> Args;
}

TEST(PlotCommandLine, PlotsNeedNoEditorImage)
{
    SnapshotCommandLine line;
    ASSERT_TRUE(line.parse(Args{"--set", "AC Threshold=20", "--curve", "c.png"})) << line.error();
    EXPECT_EQ(line.options().curvePath, "c.png");
    EXPECT_TRUE(line.options().outputPath.empty());
    EXPECT_EQ(line.options().width, 0);

    ASSERT_TRUE(line.parse(Args{"--audio", "in.wav", "--gr-plot=g.png", "--width", "800", "--height=300", "e.png"}))
        << line.error();
    const SnapshotCommandLine::Options& o = line.options();
    EXPECT_EQ(o.grPlotPath, "g.png");
    EXPECT_EQ(o.outputPath, "e.png");
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 300);

    ASSERT_TRUE(line.parse(Args{"--demo", "--gr-plot", "g.png", "--curve", "c.png"})) << line.error();
    EXPECT_TRUE(line.options().demo);
}

TEST(PlotCommandLine, RefusesPlotsItCannotDraw)
{
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--gr-plot", "g.png"}, "--gr-plot needs audio"},
        {{"--curve"}, "option --curve needs a value"},
        {{"--curve="}, "needs a non-empty value"},
        {{"--curve", "c.png", "--width", "wide"},
         "--width needs a whole number of pixels from 160 to 8192, not 'wide'"},
        {{"--curve", "c.png", "--height", "159"}, "--height needs a whole number"},
        {{"--curve", "c.png", "--width", "8193"}, "--width needs a whole number"},
        {{"--curve", "c.png", "--width", "-640"}, "--width needs a whole number"},
        {{"--curve", "c.png", "--width", "640px"}, "--width needs a whole number"},
        {{"--width", "640", "e.png"}, "--width and --height size the plots"},
        {{"--curve", "x.png", "x.png"}, "'x.png' is given for two images"},
        {{"--demo", "--curve", "x.png", "--gr-plot", "x.png"}, "'x.png' is given for two images"},
    };
    for (const auto& c : cases) {
        SnapshotCommandLine line;
        EXPECT_FALSE(line.parse(c.first)) << c.second;
        EXPECT_NE(line.error().find(c.second), std::string::npos) << line.error();
    }
}
