// What the host's sample rate decides: the rates the plug-in takes, and the
// tail it reports at each.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The lowest rate the plug-in takes: its filters keep their design from there up.
constexpr double kLowestRate = 16000.0;

}   // namespace

// Driven hardest (+18 dB in and out), a full-scale step and full-scale music
// stay finite and bounded from the lowest rate up, and what rings on after
// them ends within the tail reported: the same time at every rate.
TEST(SampleRateTest, FromTheLowestRateUpBoundedAndTheTailCoversTheRing)
{
    double tailSeconds = 0.0;
    for (double rate : {192000.0, 96000.0, 44100.0, kLowestRate + 1000.0, kLowestRate}) {
        const size_t half = static_cast<size_t>(rate / 2);
        StereoSignal step(2 * half);   // opposite on the two sides: nothing on the key, no compression
        StereoSignal music = StereoSignal::Music(2 * half, rate, 1.0, 9);
        for (size_t i = 0; i < half; ++i) {
            step.left[i] = 1.0;
            step.right[i] = -1.0;
            music.left[half + i] = music.right[half + i] = 0.0;
        }
        for (const StereoSignal* in : {&step, &music}) {
            SCOPED_TRACE(testing::Message() << rate << (in == &step ? " step" : " music"));
            HostedPlugin plug;
            HostedPlugin::Setup setup;
            setup.sampleRate = rate;
            ASSERT_TRUE(plug.Valid() && plug.Prepare(setup));
            ParameterChanges hot;
            hot.Add(0, 1.0);   // Input Atten
            hot.Add(1, 1.0);   // Output
            const StereoSignal out = plug.Render(*in, nullptr, {512}, &hot);
            ASSERT_TRUE(out.AllFinite());
            double peak = 0.0;
            size_t ring = 0;   // samples after the input stops to the last above -90 dBFS
            for (size_t i = 0; i < out.Frames(); ++i) {
                const double v = std::max(std::fabs(out.left[i]), std::fabs(out.right[i]));
                peak = std::max(peak, v);
                if (i >= half && v > 3.1622776601683795e-05)
                    ring = i + 1 - half;
            }
            EXPECT_LT(peak, 12.0);   // +18 dB on full scale, the band-pass's overshoot and no more
            const uint32 tail = plug.Processor()->getTailSamples();
            EXPECT_GT(ring, 0u);
            EXPECT_LE(ring, tail);
            EXPECT_LT(tail, half);   // the render looked past it
            if (tailSeconds == 0.0)
                tailSeconds = tail / rate;
            EXPECT_NEAR(tail / rate, tailSeconds, 1.0 / rate);
        }
    }
}

TEST(SampleRateTest, RatesBelowTheLowestAreRefusedAndChangeNothing)
{
    const StereoSignal in = StereoSignal::Music(4096, 48000.0, 0.5, 5);
    HostedPlugin reference;
    ASSERT_TRUE(reference.Valid() && reference.Prepare(HostedPlugin::Setup::Of(kSample64, 256)));
    const StereoSignal expected = reference.Render(in, nullptr, {256});
    for (double rate : {kLowestRate - 1.0, 11025.0, 8000.0, 3000.0, 2000.0, 500.0}) {
        SCOPED_TRACE(rate);
        HostedPlugin plug;
        ASSERT_TRUE(plug.Valid() && plug.Prepare(HostedPlugin::Setup::Of(kSample64, 256)));
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
