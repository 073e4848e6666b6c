#include "ComponentHandler.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "TestAudio.h"
#include "TempFolderTest.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <cstring>
#include <sndfile.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {
std::string bundleLibrary()
{
    struct utsname machine;
    ::uname(&machine);
    return ToolRun::bundle() + "/Contents/" + machine.machine + "-linux/Tidepull.so";
}

class RenderTool : public TempFolderTest {
protected:
    void SetUp() override
    {
        if (!fs::exists(bundleLibrary()))
            GTEST_SKIP() << "no built bundle at " << ToolRun::bundle();
        TempFolderTest::SetUp();
    }

    std::string writeInput(const std::string& name, const TestAudio& audio) const
    {
        const std::string p = path(name);
        EXPECT_TRUE(audio.writeFloatWav(p));
        return p;
    }

    ToolRun::Result render(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--plugin", ToolRun::bundle()});
        return ToolRun::run(args);
    }

    // Succeeds and reads the output back.
    TestAudio renderOk(const std::vector<std::string>& args, const std::string& output) const
    {
        const ToolRun::Result r = render(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        TestAudio audio;
        EXPECT_TRUE(audio.read(output)) << output;
        return audio;
    }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A failed run names the problem on stderr and leaves the folder as it was.
    void expectRefused(const std::vector<std::string>& args, const std::string& expected) const
    {
        const std::vector<std::string> before = entries();
        const ToolRun::Result r = render(args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_EQ(r.err.rfind("tidepull-render: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
        EXPECT_EQ(entries(), before);
    }
};

const std::vector<std::string> kCompress = {"--set",          "AC Threshold=30", "--set",
                                            "DC Threshold=6", "--set",           "Release=2"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
}   // namespace

TEST_F(RenderTool, ListsElevenParameters)
{
    const ToolRun::Result r = render({"--list-params"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("11 parameters"), std::string::npos) << r.out;
    // One row per parameter: decimal ID, then the ID in hex.
    const std::regex row(R"(^ *[0-9]+  0x[0-9A-F]{8}  )");
    std::istringstream lines(r.out);
    size_t rows = 0;
    for (std::string line; std::getline(lines, line);)
        rows += std::regex_search(line, row) ? 1 : 0;
    EXPECT_EQ(rows, 11u) << r.out;
    for (const char* title : {"Preset", "Bypass", "Input Atten", "AC Threshold", "External Sidechain"})
        EXPECT_NE(r.out.find(title), std::string::npos) << title;
    EXPECT_NE(r.out.find("0x62706173"), std::string::npos);
    EXPECT_NE(r.out.find("bypass"), std::string::npos);
    EXPECT_NE(r.out.find("(none)"), std::string::npos);   // the host bypass and preset have no display text
}

TEST_F(RenderTool, SixtyFourBitRenderIsDeterministic)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 1.2, 48000));
    const auto args = with(kCompress, {"--precision", "64", input});
    ASSERT_EQ(render(with(args, {path("a.wav")})).exitCode, 0);
    ASSERT_EQ(render(with(args, {path("b.wav")})).exitCode, 0);
    const std::string a = TestAudio::fileBytes(path("a.wav"));
    EXPECT_FALSE(a.empty());
    EXPECT_TRUE(a == TestAudio::fileBytes(path("b.wav")));

    TestAudio out;
    ASSERT_TRUE(out.read(path("a.wav")));
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
    EXPECT_EQ(out.sampleRate, 48000);
    EXPECT_EQ(out.frames(), static_cast<long>(1.2 * 48000));
}

TEST_F(RenderTool, KeepsRateAndLengthAndFeedsMonoToBothChannels)
{
    // The plug-in's own bypass passes the input through, so the output shows what went in.
    const TestAudio mono = TestAudio::bursts(1, 0.37, 44100);
    const std::string input = writeInput("mono.wav", mono);
    const TestAudio out = renderOk({"--set", "Engage=0", "--block", "300", input, path("out.wav")}, path("out.wav"));
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(out.sampleRate, 44100);
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_EQ(out.frames(), mono.frames());
    TestAudio left = out;
    left.channels = {out.channels[0]};
    TestAudio right = out;
    right.channels = {out.channels[1]};
    EXPECT_EQ(TestAudio::maxDifference(left, mono), 0.0);
    EXPECT_EQ(TestAudio::maxDifference(right, mono), 0.0);
}

TEST_F(RenderTool, HostBypassPassesTheInputThrough)
{
    const TestAudio in = TestAudio::bursts(2, 0.5, 48000);
    const std::string input = writeInput("in.wav", in);
    const TestAudio bypassed = renderOk(with(kCompress, {"--host-bypass", input, path("by.wav")}), path("by.wav"));
    EXPECT_EQ(TestAudio::maxDifference(bypassed, in), 0.0);
    const TestAudio compressed = renderOk(with(kCompress, {input, path("c.wav")}), path("c.wav"));
    EXPECT_GT(TestAudio::maxDifference(compressed, in), 0.01);
}

TEST_F(RenderTool, SavedStateRestoresTheSameSound)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.8, 48000));
    ASSERT_EQ(render(with(kCompress, {"--state-out", path("s.state"), input, path("a.wav")})).exitCode, 0);
    ASSERT_TRUE(fs::exists(path("s.state")));
    ASSERT_EQ(render({"--state-in", path("s.state"), input, path("b.wav")}).exitCode, 0);
    ASSERT_EQ(render({input, path("plain.wav")}).exitCode, 0);
    const std::string a = TestAudio::fileBytes(path("a.wav"));
    EXPECT_TRUE(a == TestAudio::fileBytes(path("b.wav")));
    EXPECT_FALSE(a == TestAudio::fileBytes(path("plain.wav")));   // the state did change the sound
}

TEST_F(RenderTool, SavedStateKeepsTheHostBypass)
{
    const TestAudio in = TestAudio::bursts(2, 0.5, 48000);
    const std::string input = writeInput("in.wav", in);
    ASSERT_EQ(render(with(kCompress, {"--host-bypass", "--state-out", path("s.state"), input, path("a.wav")})).exitCode,
              0);
    const TestAudio restored = renderOk({"--state-in", path("s.state"), input, path("b.wav")}, path("b.wav"));
    EXPECT_EQ(TestAudio::maxDifference(restored, in), 0.0);
}

TEST_F(RenderTool, ThirtyTwoAndSixtyFourBitAgreeWithinFloatRounding)
{
    const TestAudio in = TestAudio::bursts(2, 1.0, 48000);
    const std::string input = writeInput("in.wav", in);
    const auto args = with(kCompress, {"--block", "100"});
    const TestAudio single = renderOk(with(args, {"--precision", "32", input, path("32.wav")}), path("32.wav"));
    const TestAudio dbl = renderOk(with(args, {"--precision", "64", input, path("64.wav")}), path("64.wav"));
    EXPECT_LE(TestAudio::maxDifference(single, dbl), 1e-6);
    EXPECT_GT(TestAudio::maxDifference(dbl, in), 0.01);
}

TEST_F(RenderTool, SidechainDrivesTheDetector)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.6, 48000));
    TestAudio loud = TestAudio::bursts(1, 0.3, 48000);   // mono and shorter: duplicated and padded
    for (double& s : loud.channels[0])
        s = s > 0 ? 0.9 : -0.9;
    const std::string sidechain = writeInput("sc.wav", loud);
    const std::string silent = writeInput("silent.wav", TestAudio{48000, 0, {std::vector<double>(100, 0.0)}});
    const auto args = with(kCompress, {"--set", "External Sidechain=1"});
    const TestAudio keyed = renderOk(with(args, {"--sidechain", sidechain, input, path("k.wav")}), path("k.wav"));
    const TestAudio quiet = renderOk(with(args, {"--sidechain", silent, input, path("q.wav")}), path("q.wav"));
    EXPECT_GT(TestAudio::maxDifference(keyed, quiet), 0.01);
}

TEST_F(RenderTool, RefusesMissingOrUnreadableInput)
{
    expectRefused({path("nothing.wav"), path("out.wav")}, "nothing.wav");
    std::ofstream(path("text.wav")) << "not audio at all";
    expectRefused({path("text.wav"), path("out.wav")}, "text.wav");
    const std::string input = writeInput("in.wav", TestAudio::bursts(3, 0.1, 48000));
    expectRefused({input, path("out.wav")}, "3 channels");
}

TEST_F(RenderTool, RefusesUnknownParametersAndListsThem)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    expectRefused({"--set", "Loudness=3", input, path("out.wav")}, "Loudness");
    const ToolRun::Result r = render({"--set", "Loudness=3", input, path("out.wav")});
    for (const char* title : {"Input Atten", "AC Threshold", "MIX", "External Sidechain"})
        EXPECT_NE(r.err.find(title), std::string::npos) << title;
    EXPECT_NE(r.err.find("-18 to 18"), std::string::npos) << r.err;
}

TEST_F(RenderTool, RefusesUnparsableValues)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    for (const char* value : {"20dB", "twenty", "nan", "1e999", "20 "})
        expectRefused({"--set", std::string("AC Threshold=") + value, input, path("out.wav")}, value);
}

TEST_F(RenderTool, RefusesWhatIsNotABundle)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    expectRefused({"--plugin", path("None.vst3"), input, path("out.wav")}, "no plug-in bundle");
    expectRefused({"--plugin", bundleLibrary(), input, path("out.wav")}, "not a .vst3 bundle folder");
    // A renamed bundle folder no longer names its library.
    fs::copy(ToolRun::bundle(), path("Renamed.vst3"), fs::copy_options::recursive);
    expectRefused({"--plugin", path("Renamed.vst3"), input, path("out.wav")}, "Renamed.so");
}

TEST_F(RenderTool, RefusesMismatchedSidechainAndUnwritableOutput)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    const std::string sidechain = writeInput("sc.wav", TestAudio::bursts(2, 0.1, 44100));
    expectRefused({"--sidechain", sidechain, input, path("out.wav")}, "44100");
    expectRefused({input, path("no/such/folder/out.wav")}, "no/such/folder/out.wav");
    expectRefused({"--state-in", path("none.state"), input, path("out.wav")}, "none.state");
}

TEST_F(RenderTool, RefusesBadCommandLines)
{
    const ToolRun::Result r = render({"--precision", "16", path("out.wav")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--precision"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("out.wav")));
}

// The lead-in: one second of silence at the input's rate runs through the
// plug-in before the input, at the same settings, and is not written.
namespace {
TestAudio withSilenceBefore(const TestAudio& audio, long frames)
{
    TestAudio padded = audio;
    for (auto& channel : padded.channels)
        channel.insert(channel.begin(), static_cast<size_t>(frames), 0.0);
    return padded;
}

TestAudio withoutStart(const TestAudio& audio, long frames)
{
    TestAudio cut = audio;
    for (auto& channel : cut.channels)
        channel.erase(channel.begin(), channel.begin() + std::min<long>(frames, static_cast<long>(channel.size())));
    return cut;
}

double peakOfStart(const TestAudio& audio, long frames)
{
    double peak = 0.0;
    for (const auto& channel : audio.channels)
        for (long i = 0; i < frames && i < static_cast<long>(channel.size()); ++i)
            peak = std::max(peak, std::fabs(channel[static_cast<size_t>(i)]));
    return peak;
}
}   // namespace

TEST_F(RenderTool, LeadInEqualsARenderOfSilenceAndTheInputWithTheSilenceCut)
{
    // 44.1 kHz: the second of silence ends inside a block, so blocks straddle
    // the start of the input.
    for (const auto& run : std::vector<std::pair<int, std::string>>{{44100, "512"}, {48000, "300"}}) {
        SCOPED_TRACE(run.first);
        const int rate = run.first;
        const TestAudio in = TestAudio::bursts(2, 0.6, rate);
        const std::string input = writeInput("in.wav", in);
        const std::string padded = writeInput("padded.wav", withSilenceBefore(in, rate));
        const auto args = with(kCompress, {"--precision", "64", "--block", run.second});

        const TestAudio led = renderOk(with(args, {input, path("led.wav")}), path("led.wav"));
        const TestAudio whole = renderOk(with(args, {"--no-lead-in", padded, path("whole.wav")}), path("whole.wav"));
        ASSERT_EQ(led.frames(), in.frames());
        ASSERT_EQ(whole.frames(), in.frames() + rate);
        const TestAudio cut = withoutStart(whole, rate);
        EXPECT_TRUE(led.channels == cut.channels) << "differs by up to " << TestAudio::maxDifference(led, cut);
    }
}

TEST_F(RenderTool, WithoutTheLeadInTheSmoothersStartFromZero)
{
    // Heavy settings: without the lead-in the first milliseconds pass nearly
    // uncompressed while the threshold and ratio smoothers move from zero.
    const TestAudio in = TestAudio::bursts(2, 0.5, 48000);
    const std::string input = writeInput("in.wav", in);
    const std::vector<std::string> heavy = {"--set",           "AC Threshold=50", "--set",
                                            "DC Threshold=10", "--precision",     "64"};
    const TestAudio led = renderOk(with(heavy, {input, path("led.wav")}), path("led.wav"));
    const TestAudio cold = renderOk(with(heavy, {"--no-lead-in", input, path("cold.wav")}), path("cold.wav"));
    const long tenMs = 480;
    const double ratio = peakOfStart(cold, tenMs) / peakOfStart(led, tenMs);
    EXPECT_GT(ratio, 2.0) << "the first 10 ms without the lead-in are only " << ratio << " times as loud";
    // Once the smoothers have settled both runs compress alike.
    const TestAudio ledEnd = withoutStart(led, 24000);
    const TestAudio coldEnd = withoutStart(cold, 24000);
    EXPECT_LT(TestAudio::maxDifference(ledEnd, coldEnd), 0.05);
}

TEST_F(RenderTool, HelpAndSummaryTellOfTheLeadIn)
{
    const ToolRun::Result help = render({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--no-lead-in"), std::string::npos) << help.out;
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.2, 48000));
    const ToolRun::Result led = render({input, path("a.wav")});
    ASSERT_EQ(led.exitCode, 0) << led.err;
    EXPECT_NE(led.out.find("1 s of silence before the input"), std::string::npos) << led.out;
    const ToolRun::Result cold = render({"--no-lead-in", input, path("b.wav")});
    ASSERT_EQ(cold.exitCode, 0) << cold.err;
    EXPECT_EQ(cold.out.find("silence"), std::string::npos) << cold.out;
}

TEST_F(RenderTool, RefusesValuesOutsideTheParametersRangeAndWritesNothing)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    expectRefused({"--set", "AC Threshold=900", input, path("out.wav")}, "AC Threshold=900 lies outside 0 to 50");
    expectRefused({"--set", "MIX=-1", input, path("out.wav")}, "MIX=-1 lies outside 0 to 100");
    expectRefused({"--set", "Input Atten=18.5", "--state-out", path("s.state"), input, path("out.wav")},
                  "Input Atten=18.5 lies outside -18 to 18");
    // One line, nothing else.
    const ToolRun::Result r = render({"--set", "AC Threshold=900", input, path("out.wav")});
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    // The ends of the range are inside it.
    EXPECT_EQ(render({"--set", "AC Threshold=50", "--set", "MIX=0", input, path("ends.wav")}).exitCode, 0);
}

TEST_F(RenderTool, SummaryShowsTheValuesThePluginTook)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    // Release has whole positions: 2.4 is taken as 2.
    const ToolRun::Result r = render({"--set", "AC Threshold=20", "--set", "Release=2.4", input, path("out.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("AC Threshold = 20, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Release = 2, "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("2.4"), std::string::npos) << r.out;
}

TEST_F(RenderTool, RefusesOutputsThatShareAFileAndInputsThatAreOutputs)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    const std::string out = path("out.wav");
    ASSERT_EQ(render({"--state-out", path("s.state"), "--save-preset", path("p.vstpreset"), input, out}).exitCode, 0);
    fs::create_symlink(input, path("link.wav"));
    fs::create_symlink(path("later.state"), path("dangling.state"));
    fs::create_hard_link(path("p.vstpreset"), path("hard.vstpreset"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--state-out", out, input, out}, "given for two outputs (the audio output and --state-out)"},
        {{"--save-preset", path("./out.wav"), input, out}, "are one file, given for two outputs"},
        {{"--state-out", path("later.state"), "--save-preset", path("dangling.state"), input, out}, "are one file"},
        {{input, path("link.wav")}, "both the input and the audio output; it would be overwritten"},
        {{"--sidechain", out, input, out}, "both --sidechain and the audio output"},
        {{"--preset", path("p.vstpreset"), "--save-preset", path("hard.vstpreset"), input, out}, "are one file"},
        {{"--state-in", path("s.state"), "--state-out", path("s.state"), input, out}, "both --state-in and"},
    };
    for (const auto& c : cases)
        expectRefused(c.first, c.second);
}

TEST_F(RenderTool, WritesDevicesAndFifosInPlaceAndThroughLinksToTheirTarget)
{
    // Under 64 KiB of WAV, so that it fits the FIFO's buffer with no reader waiting.
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    ASSERT_EQ(render({input, path("ref.wav")}).exitCode, 0);
    const std::string expected = TestAudio::fileBytes(path("ref.wav"));
    if (::mknod(path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "mknod needs privileges this test lacks: " << std::strerror(errno);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    // Open for reading and writing: neither this open nor the tool's waits.
    const int fifo = ::open(path("fifo").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fifo, 0);
    fs::create_symlink(path("old.wav"), path("link.wav"));
    std::ofstream(path("old.wav")) << "old";
    fs::create_symlink(path("new.wav"), path("dangling.wav"));

    const struct {
        const char* name;
        fs::file_type type;
        const char* error;   // empty: written
        const char* holder;   // the file that holds the render afterwards
    } cases[] = {
        {"null", fs::file_type::character, "", nullptr},
        {"full", fs::file_type::character, "cannot write", nullptr},
        {"fifo", fs::file_type::fifo, "", nullptr},
        {"link.wav", fs::file_type::symlink, "", "old.wav"},
        {"dangling.wav", fs::file_type::symlink, "", "new.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun::Result r = render({input, path(c.name)});
        EXPECT_EQ(r.exitCode == 0, *c.error == '\0') << r.err;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
        EXPECT_EQ(fs::symlink_status(path(c.name)).type(), c.type);
        if (c.holder) {
            EXPECT_TRUE(TestAudio::fileBytes(path(c.holder)) == expected);
        }
    }
    std::string received(expected.size() + 1, '\0');
    const ssize_t n = ::read(fifo, &received[0], received.size());
    ::close(fifo);
    EXPECT_TRUE(received.substr(0, n > 0 ? static_cast<size_t>(n) : 0) == expected) << n << " bytes";
    // No temporary file left behind: the inputs, the nodes, the links and their targets.
    EXPECT_EQ(filesInFolder(), 9u);
}

TEST_F(RenderTool, StateInTakesOnlyAStateOfThisPlugin)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    ASSERT_EQ(
        render({"--state-out", path("s.state"), "--save-preset", path("p.vstpreset"), input, path("a.wav")}).exitCode,
        0);
    std::ofstream(path("three"), std::ios::binary) << "abc";
    std::ofstream(path("long.state"), std::ios::binary) << TestAudio::fileBytes(path("s.state")) << 'x';
    const std::vector<std::pair<std::string, std::string>> cases = {
        {input, "is not a saved state of Tidepull ("},
        {path("p.vstpreset"), "is a VST 3 preset, not a saved state; load it with --preset"},
        {path("three"), "(3 bytes; its states are 76)"},
        {path("long.state"), "(77 bytes; its states are 76)"},
    };
    for (const auto& c : cases)
        expectRefused({"--state-in", c.first, input, path("out.wav")}, c.second);
}

TEST_F(RenderTool, RefusesARateThePluginWillNotRunAt)
{
    const double rate = 2000;
    {
        PluginModule module;
        PluginModule::EffectClass effect;
        Steinberg::IPtr<HostContext> context = Steinberg::owned(new HostContext("probe"));
        Steinberg::IPtr<ComponentHandler> handler = Steinberg::owned(new ComponentHandler);
        PluginInstance probe;
        std::string error;
        ASSERT_TRUE(module.load(ToolRun::bundle(), error) && module.findAudioEffect(effect, error) &&
                    probe.create(module, effect, context, handler, error) && probe.arrangeBuses(false, error))
            << error;
        if (probe.setupProcessing(rate, 512, 32, error))
            GTEST_SKIP() << "this build of the plug-in runs at " << rate << " Hz";
    }
    const std::string input = writeInput("low.wav", TestAudio::bursts(2, 0.5, static_cast<int>(rate)));
    expectRefused({input, path("out.wav")}, "the plug-in refused to run at 2000 Hz");
}

TEST_F(RenderTool, TheFormerTitleOfEngageStillSetsItWithANote)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.2, 48000));
    const ToolRun::Result former = render(with(kCompress, {"--set", "Bypass=0", input, path("former.wav")}));
    ASSERT_EQ(former.exitCode, 0) << former.err;
    EXPECT_NE(former.err.find("note: the parameter \"Bypass\" is now called \"Engage\""), std::string::npos)
        << former.err;
    EXPECT_NE(former.out.find("Engage = 0, "), std::string::npos) << former.out;
    const ToolRun::Result current = render(with(kCompress, {"--set", "Engage=0", input, path("current.wav")}));
    ASSERT_EQ(current.exitCode, 0) << current.err;
    EXPECT_TRUE(current.err.empty()) << current.err;
    EXPECT_TRUE(TestAudio::fileBytes(path("former.wav")) == TestAudio::fileBytes(path("current.wav")));
}

// --ramp: host automation in a straight line over the input.
TEST_F(RenderTool, RampFollowsItsLineAndAFlatOneEqualsASetting)
{
    const TestAudio in = TestAudio::bursts(2, 2.0, 44100);
    const std::string input = writeInput("in.wav", in);
    const auto args = with(kCompress, {"--precision", "64", "--block", "300", input});
    // A point every block with the same value changes no bit.
    const TestAudio flat = renderOk(with({"--ramp", "Output=-7:-7"}, with(args, {path("flat.wav")})), path("flat.wav"));
    const TestAudio set = renderOk(with({"--set", "Output=-7"}, with(args, {path("set.wav")})), path("set.wav"));
    EXPECT_TRUE(flat.channels == set.channels) << "differs by up to " << TestAudio::maxDifference(flat, set);

    // Output from -12 to 0 dB over 2 s: each burst peaks as loud as with the
    // value the line has where it begins (-12 dB for the first, -1.5 dB for
    // the last, a quarter second before the end).
    const TestAudio ramp = renderOk(with({"--ramp", "Output=-12:0"}, with(args, {path("ramp.wav")})), path("ramp.wav"));
    const TestAudio low = renderOk(with({"--set", "Output=-12"}, with(args, {path("low.wav")})), path("low.wav"));
    const TestAudio high = renderOk(with({"--set", "Output=-1.5"}, with(args, {path("high.wav")})), path("high.wav"));
    const long burst = 44100 / 4;
    const long lastBurst = in.frames() - burst;
    EXPECT_NEAR(peakOfStart(ramp, burst) / peakOfStart(low, burst), 1.0, 0.01);
    EXPECT_NEAR(peakOfStart(withoutStart(ramp, lastBurst), burst) / peakOfStart(withoutStart(high, lastBurst), burst),
                1.0, 0.01);

    const ToolRun::Result summary = render(with({"--ramp", "Output=-12:0"}, with(args, {path("again.wav")})));
    EXPECT_NE(summary.out.find("Output ramped from -12 to 0, "), std::string::npos) << summary.out;
}

TEST_F(RenderTool, RefusesRampsOutsideTheRangeOrOnASetParameter)
{
    const std::string input = writeInput("in.wav", TestAudio::bursts(2, 0.1, 48000));
    expectRefused({"--ramp", "MIX=0:101", input, path("out.wav")}, "MIX=101 lies outside 0 to 100");
    expectRefused({"--ramp", "AC Threshold=-1:5", input, path("out.wav")}, "AC Threshold=-1 lies outside 0 to 50");
    expectRefused({"--ramp", "MIX=0:100", "--set", "MIX=50", input, path("out.wav")},
                  "\"MIX\" is given to --ramp and also");
    expectRefused({"--ramp", "MIX=0:100", "--ramp", "MIX=100:0", input, path("out.wav")},
                  "\"MIX\" is given to --ramp and also");
    expectRefused({"--ramp", "Knob=0:1", input, path("out.wav")}, "no parameter \"Knob\"");
}
