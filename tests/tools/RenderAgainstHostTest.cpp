// tidepull-render against a second, independent host: the test's own, which
// drives the bundle through its entry points block by block. With
// --no-lead-in the tool starts a fresh instance on the input at once; by
// default it first runs a second of silence, as the test host does when it
// renders silence before the input.
#include "HostedPlugin.h"
#include "ParameterChanges.h"
#include "StereoSignal.h"
#include "TestAudio.h"
#include "TempFolderTest.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kRate = 48000;
constexpr int kBlock = 480;   // a second is a whole number of blocks

struct Setting {
    const char* title;
    double plain;
};

const std::vector<Setting> kHeavy = {{"AC Threshold", 50.0}, {"DC Threshold", 10.0}, {"Release", 1.0}};

class RenderAgainstHost : public TempFolderTest {
protected:
    void SetUp() override
    {
        if (!fs::exists(TIDEPULL_BUNDLE_BINARY))
            GTEST_SKIP() << "no built bundle at " << TIDEPULL_BUNDLE_BINARY;
        TempFolderTest::SetUp();
    }

    // tidepull-render in 64-bit processing, read back.
    TestAudio renderTool(const std::string& input, bool leadIn, const std::vector<Setting>& settings)
    {
        std::vector<std::string> args = {"--plugin", ToolRun::bundle(), "--precision",
                                         "64",       "--block",         std::to_string(kBlock)};
        for (const Setting& s : settings) {
            char value[64];
            std::snprintf(value, sizeof value, "%.17g", s.plain);
            args.insert(args.end(), {"--set", std::string(s.title) + "=" + value});
        }
        if (!leadIn)
            args.push_back("--no-lead-in");
        const std::string output = path(leadIn ? "led.wav" : "cold.wav");
        args.insert(args.end(), {input, output});
        const ToolRun::Result r = ToolRun::run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        TestAudio audio;
        EXPECT_TRUE(audio.read(output));
        return audio;
    }

    // The test host: a fresh instance, the settings with its first block,
    // `silence` frames of silence first when asked, then the input.
    static TestAudio renderHost(const TestAudio& input, long silence, const std::vector<Setting>& settings)
    {
        HostedPlugin plugin;
        EXPECT_TRUE(plugin.Valid());
        HostedPlugin::Setup setup;
        setup.sampleSize = kSample64;
        setup.maxBlock = kBlock;
        setup.sampleRate = input.sampleRate;
        EXPECT_TRUE(plugin.Prepare(setup));
        ParameterChanges changes;
        for (const Setting& s : settings) {
            const ParamID id = idOf(plugin, s.title);
            changes.Add(id, plugin.Controller()->plainParamToNormalized(id, s.plain));
        }
        StereoSignal in(static_cast<size_t>(input.frames()));
        for (long i = 0; i < input.frames(); ++i) {
            in.left[static_cast<size_t>(i)] = input.channels[0][static_cast<size_t>(i)];
            in.right[static_cast<size_t>(i)] = input.channels[1][static_cast<size_t>(i)];
        }
        StereoSignal out;
        if (silence > 0) {
            plugin.Render(StereoSignal(static_cast<size_t>(silence)), nullptr, {kBlock}, &changes);
            out = plugin.Render(in, nullptr, {kBlock});
        } else {
            out = plugin.Render(in, nullptr, {kBlock}, &changes);
        }
        TestAudio audio;
        audio.sampleRate = input.sampleRate;
        audio.channels = {out.left, out.right};
        return audio;
    }

    static ParamID idOf(HostedPlugin& plugin, const std::string& title)
    {
        IEditController* controller = plugin.Controller();
        for (int32 i = 0; i < controller->getParameterCount(); ++i) {
            ParameterInfo info{};
            controller->getParameterInfo(i, info);
            std::string name;
            for (const char16* c = info.title; *c; ++c)
                name += static_cast<char>(*c);
            if (name == title)
                return info.id;
        }
        ADD_FAILURE() << "no parameter \"" << title << "\"";
        return 0;
    }
};
}   // namespace

TEST_F(RenderAgainstHost, WithoutTheLeadInAFreshInstanceStartsOnTheInput)
{
    const TestAudio in = TestAudio::bursts(2, 0.7, kRate);
    ASSERT_TRUE(in.writeFloatWav(path("in.wav")));
    for (const auto& settings : {std::vector<Setting>{}, kHeavy}) {
        SCOPED_TRACE(settings.size());
        const TestAudio tool = renderTool(path("in.wav"), false, settings);
        const TestAudio host = renderHost(in, 0, settings);
        ASSERT_EQ(tool.frames(), host.frames());
        EXPECT_TRUE(tool.channels == host.channels) << "differs by up to " << TestAudio::maxDifference(tool, host);
    }
}

TEST_F(RenderAgainstHost, TheLeadInIsASecondOfSilenceAtTheSameSettings)
{
    const TestAudio in = TestAudio::bursts(2, 0.7, kRate);
    ASSERT_TRUE(in.writeFloatWav(path("in.wav")));
    for (const auto& settings : {std::vector<Setting>{}, kHeavy}) {
        SCOPED_TRACE(settings.size());
        const TestAudio tool = renderTool(path("in.wav"), true, settings);
        const TestAudio host = renderHost(in, kRate, settings);
        ASSERT_EQ(tool.frames(), host.frames());
        EXPECT_TRUE(tool.channels == host.channels) << "differs by up to " << TestAudio::maxDifference(tool, host);
        // And the start of a cold instance differs from it.
        EXPECT_FALSE(renderHost(in, 0, settings).channels == host.channels);
    }
}
