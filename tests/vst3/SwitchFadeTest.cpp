// The two switches between processed and untouched audio, the panel's Engage
// and the host bypass, on a compressed 100 Hz sine: a short fade where a block
// switches, at once where a block is the first since activation.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kBypassId = 0x62706173;
constexpr ParamID kEngage = 7;
constexpr double kRate = 44100.0;
constexpr size_t kFrames = 44100;
// About 20 dB of gain reduction: the sidechain sum of two 0.5 sines peaks at
// 0 dB, 30 dB above the threshold, at 4:1.
constexpr double kAcThirty = 0.6;
constexpr double kRatioFour = 3.0 / 9.0;

StereoSignal Sine100()
{
    StereoSignal s(kFrames);
    for (size_t i = 0; i < kFrames; ++i)
        s.left[i] = s.right[i] = 0.5 * std::sin(2.0 * 3.141592653589793 * 100.0 * static_cast<double>(i) / kRate);
    return s;
}

HostedPlugin::Setup At44k1()
{
    HostedPlugin::Setup setup = HostedPlugin::Setup::Of(kSample64, 512);
    setup.sampleRate = kRate;
    return setup;
}

double LargestStep(const std::vector<double>& v, size_t from, size_t to)
{
    double step = 0.0;
    for (size_t i = from + 1; i < to; ++i)
        step = std::max(step, std::fabs(v[i] - v[i - 1]));
    return step;
}

// Renders the sine in 512-frame blocks with the switch at `from` in the first
// block; at `switchAt` (a block starts there) the switch goes to `to`.
StereoSignal Render(ParamID id, double from, double to, size_t switchAt, bool inPlace)
{
    HostedPlugin plug;
    EXPECT_TRUE(plug.Prepare(At44k1()));
    const StereoSignal in = Sine100();
    StereoSignal out(kFrames);
    size_t pos = 0;
    while (pos < kFrames) {
        const size_t end = pos < switchAt ? std::min(pos + 512, switchAt) : std::min(pos + 512, kFrames);
        ParameterChanges changes;
        if (pos == 0) {
            changes.Add(2, kAcThirty);
            changes.Add(3, kRatioFour);
            changes.Add(id, from);
        }
        if (pos == switchAt)
            changes.Add(id, to);
        plug.ProcessBlock(in, nullptr, pos, static_cast<int>(end - pos), out, &changes, inPlace);
        pos = end;
    }
    return out;
}

}   // namespace

TEST(SwitchFade, EachSwitchFadesBothWaysFromTheSampleItArrivesAt)
{
    const struct {
        const char* name;
        ParamID id;
        double from, to;
        bool toDry;
    } cases[] = {
        {"Engage off", kEngage, 1.0, 0.0, true},
        {"Engage on", kEngage, 0.0, 1.0, false},
        {"host bypass on", kBypassId, 0.0, 1.0, true},
        {"host bypass off", kBypassId, 1.0, 0.0, false},
    };
    const StereoSignal in = Sine100();
    const size_t at = 22050 + 123;   // inside the signal's period and a block
    const size_t fade = 221;   // 5 ms
    const double sineStep = LargestStep(in.left, 0, kFrames);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const StereoSignal out = Render(c.id, c.from, c.to, at, false);
        const StereoSignal unswitched = Render(c.id, c.from, c.from, at, false);
        const StereoSignal inPlace = Render(c.id, c.from, c.to, at, true);
        EXPECT_EQ(inPlace.left, out.left);
        EXPECT_EQ(inPlace.right, out.right);

        // Before the switch nothing changed; from its sample on it shows.
        EXPECT_TRUE(std::equal(out.left.begin(), out.left.begin() + at, unswitched.left.begin()));
        EXPECT_NE(out.left[at], unswitched.left[at]);
        // A cut here steps by 0.45, 64 times the sine's own largest step; the
        // fade stays below it (0.83 to 0.92 times).
        EXPECT_LT(LargestStep(out.left, at - 1, at + fade), 1.5 * sineStep);
        EXPECT_LT(LargestStep(out.right, at - 1, at + fade), 1.5 * sineStep);

        // The fade ends on the side switched to, exactly.
        const size_t last = at + fade - 1;
        if (c.toDry) {
            EXPECT_NE(out.left[last - 1], in.left[last - 1]);
            EXPECT_TRUE(std::equal(out.left.begin() + last, out.left.end(), in.left.begin() + last));
            EXPECT_TRUE(std::equal(out.right.begin() + last, out.right.end(), in.right.begin() + last));
        } else if (c.id == kEngage) {
            // The chain ran on under the disengaged output.
            const StereoSignal engaged = Render(c.id, c.to, c.to, at, false);
            EXPECT_NE(out.left[last - 1], engaged.left[last - 1]);
            EXPECT_TRUE(std::equal(out.left.begin() + last, out.left.end(), engaged.left.begin() + last));
        } else {
            EXPECT_NE(out.left[last + 1], in.left[last + 1]);
        }
    }
}

TEST(SwitchFade, FirstBlockAfterActivationAndLoadedStateSwitchAtOnce)
{
    const StereoSignal in = Sine100();
    for (ParamID id : {kEngage, kBypassId}) {
        const double dry = id == kEngage ? 0.0 : 1.0;
        SCOPED_TRACE(id == kEngage ? "Engage" : "host bypass");
        HostedPlugin plug;
        ASSERT_TRUE(plug.Prepare(At44k1()));
        plug.Render(in, nullptr, {512});

        // Switched in the first block after a new activation.
        ASSERT_EQ(plug.Component()->setActive(false), kResultOk);
        ASSERT_EQ(plug.Component()->setActive(true), kResultOk);
        ParameterChanges changes;
        changes.Add(id, dry);
        StereoSignal out = plug.Render(in, nullptr, {512}, &changes);
        EXPECT_EQ(out.left, in.left);

        // A state saved so, loaded into a fresh instance before its first block.
        const std::vector<uint8_t> state = plug.SaveState();
        HostedPlugin loaded;
        ASSERT_TRUE(loaded.Prepare(At44k1()));
        ASSERT_EQ(loaded.LoadState(state), kResultOk);
        out = loaded.Render(in, nullptr, {512});
        EXPECT_EQ(out.left, in.left);
        EXPECT_EQ(out.right, in.right);
    }
}
