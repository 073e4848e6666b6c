// What the host's sample rate decides: the rates the plug-in takes, and the
// tail it reports at each.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using HostSetup = HostedPlugin::Setup;

// The lowest rate the plug-in takes: its filters keep their design from there up.
constexpr double kLowestRate = 16000.0;

constexpr ParamID kInputAtten = 0;
constexpr ParamID kOutput = 1;

// Full-scale music on the left, a full-scale tone at 0.43 of the rate (where
// a band-pass losing its damping peaks) on the right.
StereoSignal FullScale(size_t frames, double rate)
{
    StereoSignal s = StereoSignal::Music(frames, rate, 1.0, 77);
    for (size_t i = 0; i < frames; ++i)
        s.right[i] = std::sin(2.0 * 3.141592653589793 * 0.43 * static_cast<double>(i));
    return s;
}

double Peak(const StereoSignal& s)
{
    double peak = 0.0;
    for (const std::vector<double>* ch : {&s.left, &s.right}) {
        for (double v : *ch)
            peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

// Driven hardest: Input Atten and Output both at +18 dB.
void Hottest(ParameterChanges& changes)
{
    changes.Add(kInputAtten, 1.0);
    changes.Add(kOutput, 1.0);
}

}   // namespace

TEST(SampleRateTest, FromTheLowestRateUpAFullScaleRenderStaysBounded)
{
    for (double rate : {kLowestRate, kLowestRate + 1000.0, 22050.0, 44100.0}) {
        SCOPED_TRACE(rate);
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid());
        HostSetup setup;
        setup.sampleRate = rate;
        ASSERT_TRUE(plug.Prepare(setup));
        ParameterChanges hot;
        Hottest(hot);
        const StereoSignal out = plug.Render(FullScale(static_cast<size_t>(rate), rate), nullptr, {512}, &hot);
        EXPECT_TRUE(out.AllFinite());
        // +18 dB of output on a full-scale input, less the 12 dB or so the
        // compressor takes at its defaults: near +6 dBFS, far from a filter
        // running away.
        EXPECT_LT(Peak(out), 4.0);
    }
}

TEST(SampleRateTest, RatesBelowTheLowestAreRefusedAndChangeNothing)
{
    const StereoSignal in = StereoSignal::Music(4096, 48000.0, 0.5, 5);
    auto prepared = [](HostedPlugin& plug) {
        HostSetup setup = HostSetup::Of(kSample64, 256);
        return plug.Valid() && plug.Prepare(setup);
    };
    HostedPlugin reference;
    ASSERT_TRUE(prepared(reference));
    const StereoSignal expected = reference.Render(in, nullptr, {256});

    for (double rate : {kLowestRate - 1.0, 11025.0, 8000.0, 3000.0, 2000.0, 500.0}) {
        SCOPED_TRACE(rate);
        HostedPlugin plug;
        ASSERT_TRUE(prepared(plug));
        ProcessSetup low{kOffline, kSample32, 1024, rate};
        EXPECT_EQ(plug.Processor()->setupProcessing(low), kResultFalse);
        // The rate, block size and sample size in force stay: the same tail
        // and the same bits as an instance never offered the rate.
        EXPECT_EQ(plug.Processor()->getTailSamples(), reference.Processor()->getTailSamples());
        const StereoSignal out = plug.Render(in, nullptr, {256});
        EXPECT_EQ(out.left, expected.left);
        EXPECT_EQ(out.right, expected.right);
    }
}

// After the input stops the band-pass rings on; a host that stops processing
// a silent track once the reported tail has passed must not cut that ring.
TEST(SampleRateTest, TheTailCoversTheRingAtEveryRate)
{
    double tailSeconds = 0.0;
    for (double rate : {44100.0, 96000.0, 192000.0}) {
        const size_t half = static_cast<size_t>(rate / 2);
        // A full-scale step rings longest, music less long.
        StereoSignal step(2 * half);
        std::fill(step.left.begin(), step.left.begin() + half, 1.0);
        std::fill(step.right.begin(), step.right.begin() + half, -1.0);
        StereoSignal music = StereoSignal::Music(2 * half, rate, 1.0, 9);
        std::fill(music.left.begin() + half, music.left.end(), 0.0);
        std::fill(music.right.begin() + half, music.right.end(), 0.0);
        for (const StereoSignal* in : {&step, &music}) {
            SCOPED_TRACE(testing::Message() << rate << (in == &step ? ", step" : ", music"));
            HostedPlugin plug;
            ASSERT_TRUE(plug.Valid());
            HostSetup setup;
            setup.sampleRate = rate;
            ASSERT_TRUE(plug.Prepare(setup));
            ParameterChanges hot;
            Hottest(hot);
            const StereoSignal out = plug.Render(*in, nullptr, {512}, &hot);
            size_t ring = 0;   // samples after the input stops until the last above -90 dBFS
            for (size_t i = half; i < out.Frames(); ++i) {
                if (std::max(std::fabs(out.left[i]), std::fabs(out.right[i])) > 3.1622776601683795e-05)
                    ring = i + 1 - half;
            }
            const uint32 tail = plug.Processor()->getTailSamples();
            EXPECT_GT(ring, 0u);
            EXPECT_LE(ring, tail);
            EXPECT_LT(tail, half);   // the render did look past the tail
            // The same length of time at every rate.
            if (rate == 44100.0)
                tailSeconds = tail / rate;
            EXPECT_NEAR(tail / rate, tailSeconds, 1.0 / 44100.0);
        }
    }
}
