// A host session as it goes on: the host bypass across new processing
// setups, automation points at their own samples whatever the host's
// blocks, a mono sidechain bus, and the preset parameter written back.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Setup = HostedPlugin::Setup;

constexpr ParamID kPresetId = 0x70727374;
constexpr ParamID kBypassId = 0x62706173;
constexpr ParamID kOutput = 1;
constexpr ParamID kAcThreshold = 2;
constexpr ParamID kDcThreshold = 3;
constexpr ParamID kRelease = 4;
constexpr ParamID kHpf = 5;
constexpr ParamID kMix = 6;
constexpr ParamID kExternalSidechain = 8;

Setup At44k(int32 sampleSize, int32 maxBlock, bool sidechain = false)
{
    Setup s = Setup::Of(sampleSize, maxBlock, sidechain);
    s.sampleRate = 44100.0;
    return s;
}

// An automation point at a frame of the whole signal.
struct Point {
    size_t frame;
    ParamID id;
    ParamValue value;
};

// The whole of in in blocks whose sizes cycle through blockSizes; each point
// goes with the block that holds its frame, at its offset there, in one
// queue per parameter or, as a host repeating parameters sends them, in a
// queue of its own.
StereoSignal RenderWithPoints(HostedPlugin& plug, const StereoSignal& in, const std::vector<int>& blockSizes,
                              const std::vector<Point>& points, bool queuePerPoint = false)
{
    StereoSignal out(in.Frames());
    for (size_t pos = 0, k = 0; pos < in.Frames(); ++k) {
        const size_t n = std::min<size_t>(static_cast<size_t>(blockSizes[k % blockSizes.size()]), in.Frames() - pos);
        // One queue per parameter, its points as given.
        ParameterChanges changes;
        std::vector<std::pair<ParamID, ParamValueQueue*>> queues;
        for (const Point& p : points) {
            if (p.frame < pos || p.frame >= pos + n)
                continue;
            auto q = std::find_if(queues.begin(), queues.end(), [&p](const auto& e) { return e.first == p.id; });
            if (q == queues.end() || queuePerPoint)
                q = queues.insert(queues.end(), {p.id, &changes.Add(p.id)});
            q->second->Add(static_cast<int32>(p.frame - pos), p.value);
        }
        EXPECT_TRUE(plug.ProcessBlock(in, nullptr, pos, static_cast<int>(n), out, &changes));
        pos += n;
    }
    return out;
}

TEST(SessionTest, AutomationGivesTheSameBitsWhereverTheHostSplitsItsBlocks)
{
    const StereoSignal in = StereoSignal::Music(4096, 44100.0, 0.9, 71);
    // Two points of one queue at one offset: the later one counts.
    const std::vector<Point> points = {
        {0, kAcThreshold, 0.6},    {100, kOutput, 0.7},    {700, kRelease, 0.6},  {1000, kAcThreshold, 0.3},
        {1000, kAcThreshold, 0.8}, {1500, kHpf, 0.8},      {2047, kMix, 0.5},     {2500, kBypassId, 1.0},
        {3000, kOutput, 0.2},      {3500, kBypassId, 0.0}, {3501, kRelease, 1.0}, {4095, kDcThreshold, 1.0},
    };
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        auto render = [&](int block) {
            HostedPlugin plug;
            EXPECT_TRUE(plug.Prepare(At44k(size, 4096)));
            return RenderWithPoints(plug, in, {block}, points);
        };
        const StereoSignal whole = render(4096);
        for (int block : {1, 37, 512}) {
            SCOPED_TRACE(block);
            const StereoSignal split = render(block);
            EXPECT_EQ(split.left, whole.left);
            EXPECT_EQ(split.right, whole.right);
        }
    }
}

TEST(SessionTest, PointsInFarMoreQueuesThanParametersKeepTheirOrder)
{
    // 200 points of three parameters, each in a queue of its own: more
    // queues than the plug-in keeps cursors for. Each frame has two points
    // of one parameter, the later one counts.
    const StereoSignal in = StereoSignal::Music(2048, 44100.0, 0.9, 77);
    std::vector<Point> points;
    for (size_t k = 0; k < 200; ++k)
        points.push_back({(k % 100) * 20, static_cast<ParamID>(kOutput + (k % 100) % 3), (k % 7) / 7.0});
    auto render = [&](int block, bool queuePerPoint) {
        HostedPlugin plug;
        EXPECT_TRUE(plug.Prepare(At44k(kSample64, 2048)));
        return RenderWithPoints(plug, in, {block}, points, queuePerPoint);
    };
    const StereoSignal manyQueues = render(2048, true);
    const StereoSignal split = render(1, false);
    EXPECT_EQ(manyQueues.left, split.left);
    EXPECT_EQ(manyQueues.right, split.right);
}

TEST(SessionTest, OutputPointMovesTheOutputFromItsOwnSampleOn)
{
    // Blocks of 512 up to 24064, then one of 4096: the point falls at its
    // offset 336.
    const StereoSignal in = StereoSignal::Music(28160, 44100.0, 0.5, 72);
    std::vector<int> blocks(47, 512);
    blocks.push_back(4096);
    auto render = [&](const std::vector<Point>& points) {
        HostedPlugin plug;
        EXPECT_TRUE(plug.Prepare(At44k(kSample64, 4096)));
        return RenderWithPoints(plug, in, blocks, points);
    };
    const StereoSignal still = render({});
    const StereoSignal moved = render({{24400, kOutput, 0.75}});
    size_t first = 0;
    while (first < in.Frames() && moved.left[first] == still.left[first] && moved.right[first] == still.right[first])
        ++first;
    // The output smoother takes its first step towards the new gain there.
    EXPECT_EQ(first, 24400u);
}

TEST(SessionTest, OffsetsOutsideTheBlockApplyAtItsEdges)
{
    const StereoSignal in = StereoSignal::Music(1024, 44100.0, 0.7, 73);
    auto render = [&](int32 outputOffset, bool outputInFirst, int32 thresholdOffset) {
        HostedPlugin plug;
        EXPECT_TRUE(plug.Prepare(At44k(kSample64, 512)));
        ParameterChanges first;
        ParameterChanges second;
        (outputInFirst ? first : second).Add(kOutput).Add(outputOffset, 0.9);
        second.Add(kAcThreshold).Add(thresholdOffset, 0.7);
        StereoSignal out(in.Frames());
        plug.ProcessBlock(in, nullptr, 0, 512, out, &first);
        plug.ProcessBlock(in, nullptr, 512, 512, out, &second);
        return out;
    };
    // At or past the end: from the next block on; below 0: from the start.
    const StereoSignal reference = render(0, false, 0);
    for (int32 endOffset : {512, 99999}) {
        const StereoSignal out = render(endOffset, true, -7);
        EXPECT_EQ(out.left, reference.left) << endOffset;
        EXPECT_EQ(out.right, reference.right) << endOffset;
    }
}

// The host bypass, set through a block or through the controller, then the
// processing set up again as a host does when the user changes the buffer
// size or the rate.
struct BypassCase {
    const char* name;
    bool fromController;
    int32 maxBlock;
    double rate;
};

TEST(SessionTest, HostBypassSurvivesEveryNewProcessingSetup)
{
    const BypassCase cases[] = {
        {"block, same setup", false, 512, 44100.0},
        {"block, new block size", false, 128, 44100.0},
        {"block, new rate", false, 512, 48000.0},
        {"controller, new block size", true, 128, 44100.0},
    };
    const StereoSignal in = StereoSignal::Music(2048, 44100.0, 0.5, 74);
    for (const BypassCase& c : cases) {
        SCOPED_TRACE(c.name);
        HostedPlugin plug;
        ASSERT_TRUE(plug.Prepare(At44k(kSample32, 512)));
        IEditController* ctrl = plug.Controller();
        if (c.fromController) {
            ASSERT_EQ(ctrl->setParamNormalized(kBypassId, 1.0), kResultOk);
        } else {
            ParameterChanges on;
            on.Add(kBypassId, 1.0);
            plug.Apply(on);
        }
        plug.Processor()->setProcessing(false);
        ASSERT_EQ(plug.Component()->setActive(false), kResultOk);
        ProcessSetup again{kRealtime, kSample32, c.maxBlock, c.rate};
        ASSERT_EQ(plug.Processor()->setupProcessing(again), kResultOk);
        ASSERT_EQ(plug.Component()->setActive(true), kResultOk);
        plug.Processor()->setProcessing(true);

        EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);
        const StereoSignal out = plug.Render(in, nullptr, {128});
        EXPECT_EQ(out.left, in.left);
        EXPECT_EQ(out.right, in.right);
        const std::vector<uint8_t> state = plug.SaveState();
        ASSERT_EQ(state.size(), 76u);
        EXPECT_EQ(state[72], 1);
        // Nothing changed behind the host's back, so nothing to tell it.
        EXPECT_TRUE(plug.Handler().Calls().empty());

        // Off from the controller: the next block is processed again.
        ASSERT_EQ(ctrl->setParamNormalized(kBypassId, 0.0), kResultOk);
        EXPECT_NE(plug.Render(in, nullptr, {128}).left, in.left);
    }
}

TEST(SessionTest, MonoSidechainKeyActsAsThatKeyOnBothChannelsOfAStereoBus)
{
    const StereoSignal in = StereoSignal::Music(19200, 44100.0, 0.1, 75);
    const StereoSignal key = StereoSignal::Music(19200, 44100.0, 0.9, 76);
    StereoSignal keyOnBoth = key;
    keyOnBoth.right = key.left;
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        auto render = [&](int32 channels, const StereoSignal& sc) {
            HostedPlugin plug;
            HostedPlugin::Setup setup = At44k(size, 480, true);
            setup.sidechainChannels = channels;
            EXPECT_TRUE(plug.Prepare(setup));
            ParameterChanges changes;
            changes.Add(kAcThreshold, 0.4);
            changes.Add(kDcThreshold, 1.0);
            changes.Add(kExternalSidechain, 1.0);
            return plug.Render(in, &sc, {480}, &changes);
        };
        const StereoSignal mono = render(1, key);
        const StereoSignal stereo = render(2, keyOnBoth);
        EXPECT_EQ(mono.left, stereo.left);
        EXPECT_EQ(mono.right, stereo.right);
    }
}

TEST(SessionTest, PresetValueWrittenBackLeavesTheSettingsAlone)
{
    // With one preset every value names the one already selected.
    const ParamValue values[] = {0.0, 0.5, 0.99, 1.0, -1.0, 7.0, std::numeric_limits<double>::quiet_NaN()};
    for (ParamValue v : values) {
        SCOPED_TRACE(v);
        HostedPlugin plug;
        ASSERT_TRUE(plug.Prepare(At44k(kSample32, 128)));
        ParameterChanges edit;
        edit.Add(kAcThreshold, 0.6);
        edit.Add(kMix, 0.4);
        plug.Apply(edit);
        ParameterChanges preset;
        preset.Add(kPresetId, v);
        plug.Apply(preset);
        EXPECT_DOUBLE_EQ(plug.Controller()->getParamNormalized(kAcThreshold), 0.6);
        EXPECT_DOUBLE_EQ(plug.Controller()->getParamNormalized(kMix), 0.4);
    }
}

}   // namespace
