// A host session: automation points at their own samples whatever the host's
// blocks, the host bypass across new processing setups, a mono sidechain bus
// and the preset parameter written back.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kPresetId = 0x70727374;
constexpr ParamID kBypassId = 0x62706173;
constexpr ParamID kOutput = 1;
constexpr ParamID kAcThreshold = 2;
constexpr ParamID kMix = 6;

struct Point {
    size_t frame;
    ParamID id;
    ParamValue value;
};

bool Same(const StereoSignal& a, const StereoSignal& b)
{
    return a.left == b.left && a.right == b.right;
}

// A 44.1 kHz instance fed in in blocks cycling through sizes; each point goes
// with the block that holds its frame, in its parameter's queue.
StereoSignal Render(const StereoSignal& in, const std::vector<int>& sizes, const std::vector<Point>& points,
                    int32 sampleSize = kSample64)
{
    HostedPlugin plug;
    HostedPlugin::Setup setup = HostedPlugin::Setup::Of(sampleSize, 4096);
    setup.sampleRate = 44100.0;
    EXPECT_TRUE(plug.Prepare(setup));
    StereoSignal out(in.Frames());
    for (size_t pos = 0, k = 0; pos < in.Frames(); ++k) {
        const size_t n = std::min(static_cast<size_t>(sizes[k % sizes.size()]), in.Frames() - pos);
        ParameterChanges changes;
        std::map<ParamID, ParamValueQueue*> queues;
        for (const Point& p : points) {
            if (p.frame < pos || p.frame >= pos + n)
                continue;
            ParamValueQueue*& queue = queues[p.id];
            if (!queue)
                queue = &changes.Add(p.id);
            queue->Add(static_cast<int32>(p.frame - pos), p.value);
        }
        EXPECT_TRUE(plug.ProcessBlock(in, nullptr, pos, static_cast<int>(n), out, &changes));
        pos += n;
    }
    return out;
}

TEST(SessionTest, AutomationGivesTheSameBitsWhereverTheHostSplitsItsBlocks)
{
    const StereoSignal in = StereoSignal::Music(4096, 44100.0, 0.9, 71);
    // Output, AC Threshold, Release, HPF, MIX, DC Threshold and the host
    // bypass; of the two points at 1000 the later counts.
    const std::vector<Point> points = {
        {0, kAcThreshold, 0.6},    {100, kOutput, 0.7},    {700, 4, 0.6},     {1000, kAcThreshold, 0.3},
        {1000, kAcThreshold, 0.8}, {1500, 5, 0.8},         {2047, kMix, 0.5}, {2500, kBypassId, 1.0},
        {3000, kOutput, 0.2},      {3500, kBypassId, 0.0}, {4095, 3, 1.0},
    };
    for (int32 size : {kSample32, kSample64}) {
        const StereoSignal whole = Render(in, {4096}, points, size);
        for (int block : {1, 37, 512})
            EXPECT_TRUE(Same(Render(in, {block}, points, size), whole)) << block << " frames, size " << size;
    }
}

TEST(SessionTest, OutputPointMovesTheOutputFromItsOwnSampleOn)
{
    // Blocks of 512 up to 24064, then one of 4096: the point at its offset 336.
    const StereoSignal in = StereoSignal::Music(28160, 44100.0, 0.5, 72);
    std::vector<int> sizes(47, 512);
    sizes.push_back(4096);
    const StereoSignal still = Render(in, sizes, {});
    const StereoSignal moved = Render(in, sizes, {{24400, kOutput, 0.75}});
    size_t first = 0;
    while (first < in.Frames() && moved.left[first] == still.left[first] && moved.right[first] == still.right[first])
        ++first;
    EXPECT_EQ(first, 24400u);
}

TEST(SessionTest, HostBypassSurvivesEveryNewProcessingSetup)
{
    struct Case {
        bool fromController;
        int32 maxBlock;
        double rate;
    };
    const StereoSignal in = StereoSignal::Music(1024, 48000.0, 0.5, 74);
    for (const Case& c :
         {Case{false, 512, 48000.0}, Case{false, 128, 48000.0}, Case{false, 512, 44100.0}, Case{true, 128, 48000.0}}) {
        SCOPED_TRACE(::testing::Message() << c.fromController << ", " << c.maxBlock << ", " << c.rate);
        HostedPlugin plug;
        ASSERT_TRUE(plug.Prepare(HostedPlugin::Setup::Of(kSample32, 512)));
        ParameterChanges on;
        on.Add(kBypassId, 1.0);
        if (c.fromController)
            ASSERT_EQ(plug.Controller()->setParamNormalized(kBypassId, 1.0), kResultOk);
        else
            plug.Apply(on);
        ProcessSetup again{kRealtime, kSample32, c.maxBlock, c.rate};
        ASSERT_EQ(plug.Component()->setActive(false), kResultOk);
        ASSERT_EQ(plug.Processor()->setupProcessing(again), kResultOk);
        ASSERT_EQ(plug.Component()->setActive(true), kResultOk);
        EXPECT_EQ(plug.Controller()->getParamNormalized(kBypassId), 1.0);
        EXPECT_TRUE(Same(plug.Render(in, nullptr, {128}), in));
        EXPECT_EQ(plug.SaveState().at(72), 1);
        EXPECT_TRUE(plug.Handler().Calls().empty());
    }
}

TEST(SessionTest, MonoSidechainKeyActsAsThatKeyOnBothChannelsOfAStereoBus)
{
    const StereoSignal in = StereoSignal::Music(9600, 48000.0, 0.1, 75);
    StereoSignal key = StereoSignal::Music(9600, 48000.0, 0.9, 76);
    key.right = key.left;   // a mono bus takes the left channel only
    for (int32 size : {kSample32, kSample64}) {
        auto render = [&](int32 channels) {
            HostedPlugin plug;
            HostedPlugin::Setup setup = HostedPlugin::Setup::Of(size, 480, true);
            setup.sidechainChannels = channels;
            EXPECT_TRUE(plug.Prepare(setup));
            ParameterChanges changes;
            changes.Add(kAcThreshold, 0.4);
            changes.Add(8, 1.0);   // External Sidechain
            return plug.Render(in, &key, {480}, &changes);
        };
        EXPECT_TRUE(Same(render(1), render(2))) << "size " << size;
    }
}

TEST(SessionTest, PresetValueWrittenBackLeavesTheSettingsAlone)
{
    // With one preset every value names the one already selected.
    for (ParamValue v : {0.0, 0.99, 1.0, -1.0, 7.0, std::numeric_limits<double>::quiet_NaN()}) {
        HostedPlugin plug;
        ASSERT_TRUE(plug.Prepare(HostedPlugin::Setup::Of(kSample32, 128)));
        ParameterChanges changes;
        changes.Add(kAcThreshold, 0.6);
        changes.Add(kMix, 0.4);
        changes.Add(kPresetId, v);
        plug.Apply(changes);
        EXPECT_DOUBLE_EQ(plug.Controller()->getParamNormalized(kAcThreshold), 0.6) << v;
        EXPECT_DOUBLE_EQ(plug.Controller()->getParamNormalized(kMix), 0.4) << v;
    }
}

}   // namespace
