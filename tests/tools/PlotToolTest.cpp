#include "CurvePlot.h"
#include "GainReductionPlot.h"
#include "GainReductionTrace.h"
#include "TestAudio.h"
#include "TempFolderTest.h"
#include "ToolRun.h"
#include "TransferCurve.h"

#include "dsp/compressor.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {
// A PNG read back into pixels.
class Picture {
public:
    explicit Picture(const std::string& path) : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Picture() { cairo_surface_destroy(surface_); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }

    // Distance in 0..255 units from an opaque colour.
    double distance(int x, int y, const PlotCanvas::Colour& c) const
    {
        const unsigned char* row =
            cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        uint32_t p;
        std::memcpy(&p, row + 4 * x, 4);
        const double dr = static_cast<double>((p >> 16) & 0xff) - c.r * 255.0;
        const double dg = static_cast<double>((p >> 8) & 0xff) - c.g * 255.0;
        const double db = static_cast<double>(p & 0xff) - c.b * 255.0;
        return std::sqrt(dr * dr + dg * dg + db * db);
    }

    // The middle row of the pixels near `colour` in column x between the two
    // rows; -1 when there are none.
    double rowOf(int x, int top, int bottom, const PlotCanvas::Colour& colour) const
    {
        double sum = 0.0;
        int count = 0;
        for (int y = top; y <= bottom; ++y) {
            if (distance(x, y, colour) < kNear) {
                sum += y + 0.5;
                ++count;
            }
        }
        return count > 0 ? sum / count : -1.0;
    }

    int countNear(int left, int top, int right, int bottom, const PlotCanvas::Colour& colour) const
    {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                count += distance(x, y, colour) < kNear ? 1 : 0;
        return count;
    }

private:
    static constexpr double kNear = 60.0;
    cairo_surface_t* surface_;
};

// The engine's gain computer as the plug sets it up: threshold -AC dB, the
// ratio DC, knee factor 1.0 at release position 0.
compressor engineDetector(double acThreshold, double dcThreshold)
{
    compressor c;
    c.setKnee(1.0);
    c.setThreshold(-acThreshold);
    c.setRatio(dcThreshold);
    return c;
}

// A steady level through a fresh copy of the detector, with an attack short
// enough to reach the level in one step.
double engineOutputDb(compressor c, double levelDb)
{
    c.setAttack(1e-3);
    c.process(std::pow(10.0, levelDb / 20.0));
    return levelDb + c.getGainDb();
}

class PlotTool : public TempFolderTest {
protected:
    static ToolRun::Result snapshot(const std::vector<std::string>& args)
    {
        return ToolRun::runProgram(TIDEPULL_SNAPSHOT_EXE, args);
    }

    // The figure after "reduction  up to", or NaN.
    static double reportedReduction(const std::string& out)
    {
        std::smatch m;
        if (!std::regex_search(out, m, std::regex("reduction +up to ([0-9.]+|inf) dB")))
            return std::nan("");
        return m[1] == "inf" ? INFINITY : std::atof(m[1].str().c_str());
    }
};
}   // namespace

TEST_F(PlotTool, CurveIsTheEngineGainComputer)
{
    const ToolRun::Result r = snapshot(
        {"--set", "AC Threshold=20", "--set", "DC Threshold=4", "--set", "Release=0", "--curve", path("c.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("threshold -20.00 dB, ratio 4.00:1, knee -30.00 to -10.00 dB"), std::string::npos) << r.out;
    Picture picture(path("c.png"));
    ASSERT_TRUE(picture.ok());
    ASSERT_EQ(picture.width(), CurvePlot::kDefaultWidth);
    ASSERT_EQ(picture.height(), CurvePlot::kDefaultHeight);

    const compressor detector = engineDetector(20.0, 4.0);
    const PlotFrame frame = CurvePlot::frameFor(picture.width(), picture.height(), TransferCurve(detector));
    const int top = static_cast<int>(frame.top()) + 1;
    const int bottom = static_cast<int>(frame.bottom()) - 1;
    auto plottedRow = [&](double levelDb) {
        return picture.rowOf(static_cast<int>(std::floor(frame.x(levelDb))), top, bottom, CurvePlot::kCurveColour);
    };

    // Far below the knee the curve is the unity line.
    for (double level : {-58.0, -50.0, -42.0, -36.0})
        EXPECT_NEAR(plottedRow(level), frame.y(level), 1.5) << level << " dB";
    // Through the knee and above it, where the engine's gain computer puts it.
    for (double level : {-28.0, -24.0, -20.0, -16.0, -12.0, -6.0, 0.0, 6.0})
        EXPECT_NEAR(plottedRow(level), frame.y(engineOutputDb(detector, level)), 2.0) << level << " dB";

    // Above the knee the output rises 1 dB for every 4 dB of input.
    const double from = -6.0;
    const double to = 8.0;
    const double rise = frame.yValue(plottedRow(to)) - frame.yValue(plottedRow(from));
    EXPECT_NEAR(rise / (to - from), 0.25, 0.04);
}

TEST_F(PlotTool, CurveFollowsTheSettingsAndSize)
{
    // A hard knee at 0 dB by default: unity below, ratio 2 above.
    const ToolRun::Result r = snapshot({"--curve", path("default.png"), "--width", "800", "--height", "500"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("ratio 2.00:1, hard knee"), std::string::npos) << r.out;
    Picture picture(path("default.png"));
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.width(), 800);
    EXPECT_EQ(picture.height(), 500);

    compressor detector;
    detector.setRatio(2.0);
    const PlotFrame frame = CurvePlot::frameFor(800, 500, TransferCurve(detector));
    const int top = static_cast<int>(frame.top()) + 1;
    const int bottom = static_cast<int>(frame.bottom()) - 1;
    for (double level : {-40.0, -10.0, -3.0})
        EXPECT_NEAR(picture.rowOf(static_cast<int>(frame.x(level)), top, bottom, CurvePlot::kCurveColour),
                    frame.y(level), 1.5)
            << level << " dB";
    EXPECT_NEAR(picture.rowOf(static_cast<int>(frame.x(8.0)), top, bottom, CurvePlot::kCurveColour), frame.y(4.0), 1.5);

    // The deepest threshold widens the range below -60 dB to hold the knee.
    const ToolRun::Result deep = snapshot({"--set", "AC Threshold=50", "--curve", path("deep.png")});
    ASSERT_EQ(deep.exitCode, 0) << deep.err;
    EXPECT_NE(deep.out.find("knee -75.00 to -25.00 dB"), std::string::npos) << deep.out;
}

TEST_F(PlotTool, GainReductionShowsForLoudAudioOnly)
{
    ASSERT_TRUE(TestAudio::bursts(2, 2.0, 48000).writeFloatWav(path("loud.wav")));
    TestAudio silence;
    silence.channels.assign(2, std::vector<double>(48000, 0.0));
    ASSERT_TRUE(silence.writeFloatWav(path("silence.wav")));

    const ToolRun::Result loud =
        snapshot({"--set", "AC Threshold=30", "--audio", path("loud.wav"), "--gr-plot", path("loud.png")});
    const ToolRun::Result quiet =
        snapshot({"--set", "AC Threshold=30", "--audio", path("silence.wav"), "--gr-plot", path("silence.png")});
    const ToolRun::Result bypassed = snapshot({"--set", "AC Threshold=30", "--set", "Engage=0", "--audio",
                                               path("loud.wav"), "--gr-plot", path("bypassed.png")});
    ASSERT_EQ(loud.exitCode, 0) << loud.err;
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    ASSERT_EQ(bypassed.exitCode, 0) << bypassed.err;
    EXPECT_NE(loud.out.find("2.00 s in 200 windows of 10.0 ms"), std::string::npos) << loud.out;
    EXPECT_GT(reportedReduction(loud.out), 6.0) << loud.out;
    EXPECT_EQ(reportedReduction(quiet.out), 0.0) << quiet.out;
    // The meter reads no reduction while the plug passes its input through.
    EXPECT_EQ(reportedReduction(bypassed.out), 0.0) << bypassed.out;

    // The reduction curve hangs from the plot's top edge: below it only when
    // there is reduction to show.
    const PlotFrame frame = GainReductionPlot::frameFor(
        GainReductionPlot::kDefaultWidth, GainReductionPlot::kDefaultHeight, GainReductionTrace(48000.0, 48000, 0.01));
    auto reductionPixels = [&](const std::string& file) {
        Picture picture(file);
        EXPECT_TRUE(picture.ok()) << file;
        EXPECT_EQ(picture.width(), GainReductionPlot::kDefaultWidth);
        EXPECT_EQ(picture.height(), GainReductionPlot::kDefaultHeight);
        if (!picture.ok())
            return -1;
        return picture.countNear(static_cast<int>(frame.left()) + 2, static_cast<int>(frame.top()) + 4,
                                 static_cast<int>(frame.right()) - 2, static_cast<int>(frame.bottom()) - 2,
                                 GainReductionPlot::kReductionColour);
    };
    EXPECT_GT(reductionPixels(path("loud.png")), 200);
    EXPECT_EQ(reductionPixels(path("silence.png")), 0);
    EXPECT_EQ(reductionPixels(path("bypassed.png")), 0);
}

TEST_F(PlotTool, FailuresLeaveNoImage)
{
    std::ofstream(path("kept.png")) << "earlier image";
    std::ofstream(path("not-audio.wav")) << "this is not audio";
    TestAudio empty;
    empty.channels.assign(2, std::vector<double>());
    ASSERT_TRUE(empty.writeFloatWav(path("empty.wav")));

    const ToolRun::Result missing = snapshot({"--audio", path("missing.wav"), "--gr-plot", path("kept.png")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;

    const ToolRun::Result garbage = snapshot({"--audio", path("not-audio.wav"), "--gr-plot", path("g.png")});
    EXPECT_EQ(garbage.exitCode, 1);
    EXPECT_NE(garbage.err.find("as audio"), std::string::npos) << garbage.err;

    const ToolRun::Result nothing = snapshot({"--audio", path("empty.wav"), "--gr-plot", path("g.png")});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_NE(nothing.err.find("holds no audio to plot"), std::string::npos) << nothing.err;

    const ToolRun::Result badSize = snapshot({"--curve", path("c.png"), "--width", "12"});
    EXPECT_EQ(badSize.exitCode, 2);
    EXPECT_NE(badSize.err.find("--width needs a whole number"), std::string::npos) << badSize.err;

    const ToolRun::Result badSet = snapshot({"--set", "Threshold=3", "--curve", path("c.png")});
    EXPECT_EQ(badSet.exitCode, 1);
    EXPECT_NE(badSet.err.find("no parameter \"Threshold\""), std::string::npos) << badSet.err;

    EXPECT_NE(snapshot({"--curve", path("no/such/folder/c.png")}).exitCode, 0);

    // One plot failing does not stop the other, and the run says it failed.
    const ToolRun::Result half =
        snapshot({"--audio", path("missing.wav"), "--gr-plot", path("g.png"), "--curve", path("c.png")});
    EXPECT_EQ(half.exitCode, 1);
    EXPECT_TRUE(fs::exists(path("c.png")));
    fs::remove(path("c.png"));

    EXPECT_EQ(TestAudio::fileBytes(path("kept.png")), "earlier image");
    EXPECT_EQ(filesInFolder(), 3u);   // kept.png, not-audio.wav, empty.wav
}
