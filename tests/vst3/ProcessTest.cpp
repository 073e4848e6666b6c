// Block processing seen from the host: parameter queues, the host bypass
// parameter, the sidechain bus, sample sizes and in-place buffers.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using Setup = HostedPlugin::Setup;

constexpr ParamID kBypassId = 0x62706173;
constexpr ParamID kAcThreshold = 2;
constexpr ParamID kDcThreshold = 3;
constexpr ParamID kPlugBypass = 7;
constexpr ParamID kExternalSidechain = 8;

TEST(ProcessTest, UnreadableEmptyMissingAndUnknownQueuesArePassedOver)
{
    const StereoSignal in = StereoSignal::Music(9600, 48000.0, 0.9, 21);
    auto render = [&](ParameterChanges& changes, double* normalizedAfter) {
        HostedPlugin plug;
        EXPECT_TRUE(plug.Valid());
        EXPECT_TRUE(plug.Prepare(Setup::Of(kSample64, 480)));
        const StereoSignal out = plug.Render(in, nullptr, {480}, &changes);
        *normalizedAfter = plug.Controller()->getParamNormalized(kAcThreshold);
        EXPECT_TRUE(plug.Handler().Calls().empty()) << "host changes are not reported back";
        return out;
    };
    auto addGood = [](ParameterChanges& changes) {
        ParamValueQueue& good = changes.Add(kAcThreshold);
        good.Add(0, 0.5);
        good.Add(479, 0.8);
    };

    ParameterChanges clean;
    addGood(clean);
    double afterClean = 0.0;
    const StereoSignal outClean = render(clean, &afterClean);
    EXPECT_DOUBLE_EQ(afterClean, 0.8);

    // The readable queue behind the others still applies, as if alone.
    ParameterChanges messy;
    messy.Add(kAcThreshold, 0.1).SetUnreadable(true);
    messy.Add(kDcThreshold);
    messy.AddNullSlot();
    messy.Add(9, 0.3);
    messy.Add(0x7FFFFFFF, 0.3);
    addGood(messy);
    double afterMessy = 0.0;
    const StereoSignal outMessy = render(messy, &afterMessy);
    EXPECT_DOUBLE_EQ(afterMessy, 0.8);
    EXPECT_EQ(outMessy.left, outClean.left);
    EXPECT_EQ(outMessy.right, outClean.right);
}

TEST(ProcessTest, HostBypassPassesTheInputThroughExactly)
{
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(Setup::Of(size, 256)));
        IEditController* ctrl = plug.Controller();
        const StereoSignal in = StereoSignal::Music(2048, 48000.0, 0.9, 8);

        ParameterChanges half;
        half.Add(kBypassId, 0.5);
        const StereoSignal processed = plug.Render(in, nullptr, {256}, &half);
        EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 0.0);
        EXPECT_NE(processed.left, in.left);

        ParameterChanges over;
        over.Add(kBypassId, 0.51);
        const StereoSignal bypassed = plug.Render(in, nullptr, {256}, &over);
        EXPECT_EQ(ctrl->getParamNormalized(kBypassId), 1.0);
        // Switched while processing: the input exactly once the 5 ms fade is over.
        const size_t fade = 240;
        EXPECT_TRUE(std::equal(bypassed.left.begin() + fade, bypassed.left.end(), in.left.begin() + fade));
        EXPECT_TRUE(std::equal(bypassed.right.begin() + fade, bypassed.right.end(), in.right.begin() + fade));
        // The plug's own bypass parameter is untouched by the host's.
        EXPECT_EQ(ctrl->getParamNormalized(kPlugBypass), 1.0);
    }
}

TEST(ProcessTest, PlugBypassParameterAtZeroPassesTheInputThrough)
{
    HostedPlugin plug;
    ASSERT_TRUE(plug.Valid());
    ASSERT_TRUE(plug.Prepare(Setup::Of(kSample64, 256)));
    const StereoSignal in = StereoSignal::Music(1024, 48000.0, 0.9, 9);
    ParameterChanges off;
    off.Add(kPlugBypass, 0.0);
    const StereoSignal out = plug.Render(in, nullptr, {256}, &off);
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, in.right);
    EXPECT_EQ(plug.Controller()->getParamNormalized(kBypassId), 0.0);
}

// Hard compression keyed from the external sidechain.
void AddSidechainKeyed(ParameterChanges& changes)
{
    changes.Add(kAcThreshold, 1.0);   // threshold -50 dB
    changes.Add(kDcThreshold, 1.0);   // ratio 10
    changes.Add(kExternalSidechain, 1.0);
}

TEST(ProcessTest, ActiveSidechainDrivesTheDetectorAndAnInactiveOneReadsSilence)
{
    const StereoSignal in = StereoSignal::Music(19200, 48000.0, 0.1, 31);
    const StereoSignal sc = StereoSignal::Music(19200, 48000.0, 0.9, 32);
    const StereoSignal quiet(19200);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        auto render = [&](bool active, const StereoSignal& key) {
            HostedPlugin plug;
            EXPECT_TRUE(plug.Valid());
            EXPECT_TRUE(plug.Prepare(Setup::Of(size, 480, active)));
            ParameterChanges changes;
            AddSidechainKeyed(changes);
            return plug.Render(in, &key, {480}, &changes);
        };
        const StereoSignal keyed = render(true, sc);
        const StereoSignal inactive = render(false, sc);
        const StereoSignal silentKey = render(true, quiet);
        EXPECT_EQ(inactive.left, silentKey.left);
        EXPECT_EQ(inactive.right, silentKey.right);
        EXPECT_LT(keyed.Rms(), 0.5 * inactive.Rms());
    }
}

TEST(ProcessTest, SidechainGoingInactiveStopsFeedingTheDetectorAtOnce)
{
    // Both hosts feed the same loud key for 10 blocks; then one deactivates
    // the bus but keeps handing over the loud key, the other keeps the bus
    // active with a silent key. The plug must hear silence in both.
    const int kBlock = 480;
    const StereoSignal in = StereoSignal::Music(kBlock * 30, 48000.0, 0.1, 41);
    const StereoSignal loud = StereoSignal::Music(kBlock * 30, 48000.0, 0.9, 42);
    StereoSignal loudThenQuiet = loud;
    for (size_t i = static_cast<size_t>(kBlock) * 10; i < loud.Frames(); ++i)
        loudThenQuiet.left[i] = loudThenQuiet.right[i] = 0.0;

    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        HostedPlugin deactivated;
        HostedPlugin silenced;
        ASSERT_TRUE(deactivated.Valid() && silenced.Valid());
        ASSERT_TRUE(deactivated.Prepare(Setup::Of(size, kBlock, true)));
        ASSERT_TRUE(silenced.Prepare(Setup::Of(size, kBlock, true)));
        ParameterChanges c1;
        ParameterChanges c2;
        AddSidechainKeyed(c1);
        AddSidechainKeyed(c2);
        deactivated.Apply(c1);
        silenced.Apply(c2);

        StereoSignal outA(in.Frames());
        StereoSignal outB(in.Frames());
        for (int b = 0; b < 20; ++b) {
            if (b == 10)
                deactivated.SetSidechainActive(false);
            const size_t start = static_cast<size_t>(b) * kBlock;
            deactivated.ProcessBlock(in, &loud, start, kBlock, outA);
            silenced.ProcessBlock(in, &loudThenQuiet, start, kBlock, outB);
        }
        EXPECT_EQ(outA.left, outB.left);
        EXPECT_EQ(outA.right, outB.right);

        // Activated again, the key is heard again.
        deactivated.SetSidechainActive(true);
        for (int b = 20; b < 30; ++b) {
            const size_t start = static_cast<size_t>(b) * kBlock;
            deactivated.ProcessBlock(in, &loud, start, kBlock, outA);
            silenced.ProcessBlock(in, &loud, start, kBlock, outB);
        }
        EXPECT_EQ(outA.left, outB.left);
        EXPECT_EQ(outA.right, outB.right);
    }
}

TEST(ProcessTest, ThirtyTwoAndSixtyFourBitGiveTheSameAudioToFloatRounding)
{
    const StereoSignal in = StereoSignal::Music(24000, 48000.0, 0.8, 51);
    auto render = [&](int32 size) {
        HostedPlugin plug;
        EXPECT_TRUE(plug.Valid());
        EXPECT_TRUE(plug.Prepare(Setup::Of(size, 512)));
        ParameterChanges changes;
        changes.Add(kAcThreshold, 0.5);
        changes.Add(kDcThreshold, 0.4);
        changes.Add(0, 0.75);
        return plug.Render(in, nullptr, {512}, &changes);
    };
    const StereoSignal out32 = render(kSample32);
    const StereoSignal out64 = render(kSample64);
    ASSERT_TRUE(out64.AllFinite());
    EXPECT_NE(out64.left, in.left);
    size_t worst = 0;
    double worstError = 0.0;
    for (size_t i = 0; i < in.Frames(); ++i) {
        for (int ch = 0; ch < 2; ++ch) {
            const double a = out32.Channel(ch)[i];
            const double b = out64.Channel(ch)[i];
            // The 32-bit result is the 64-bit one rounded once.
            const double error = std::fabs(a - b) - std::fabs(b) * 0x1p-24;
            if (error > worstError) {
                worstError = error;
                worst = i;
            }
        }
    }
    EXPECT_LE(worstError, 1e-45) << "at frame " << worst;
}

TEST(ProcessTest, InPlaceBuffersGiveTheSameAudio)
{
    const StereoSignal in = StereoSignal::Music(9600, 48000.0, 0.8, 61);
    for (int32 size : {kSample32, kSample64}) {
        SCOPED_TRACE(Setup::SizeName(size));
        auto render = [&](bool inPlace) {
            HostedPlugin plug;
            EXPECT_TRUE(plug.Valid());
            EXPECT_TRUE(plug.Prepare(Setup::Of(size, 256)));
            ParameterChanges changes;
            changes.Add(kAcThreshold, 0.6);
            changes.Add(6, 0.5);   // MIX 50: the dry path reads the input too
            return plug.Render(in, nullptr, {256}, &changes, inPlace);
        };
        const StereoSignal separate = render(false);
        const StereoSignal inPlace = render(true);
        EXPECT_EQ(inPlace.left, separate.left);
        EXPECT_EQ(inPlace.right, separate.right);
    }
}

TEST(ProcessTest, SilenceInGivesFiniteOutput)
{
    for (int32 size : {kSample32, kSample64}) {
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        ASSERT_TRUE(plug.Prepare(Setup::Of(size, 256)));
        const StereoSignal silence(4096);
        const StereoSignal out = plug.Render(silence, &silence, {256});
        EXPECT_TRUE(out.AllFinite());
        EXPECT_LT(out.Rms(), 1e-6);
    }
}

}   // namespace
