// Engage and the host bypass on a compressed 100 Hz sine: a 5 ms fade from the
// sample where a switch arrives, at once in the first block after activation.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kBypassId = 0x62706173;
constexpr ParamID kEngage = 7;

HostedPlugin::Setup At44k1()
{
    HostedPlugin::Setup setup = HostedPlugin::Setup::Of(kSample64, 512);
    setup.sampleRate = 44100.0;
    return setup;
}

StereoSignal Sine()
{
    StereoSignal s(44100);
    for (size_t i = 0; i < s.Frames(); ++i)
        s.left[i] = s.right[i] = 0.5 * std::sin(2.0 * 3.141592653589793 * 100.0 * static_cast<double>(i) / 44100.0);
    return s;
}

double LargestStep(const std::vector<double>& v, size_t from, size_t to)
{
    double step = 0.0;
    for (size_t i = from + 1; i < to; ++i)
        step = std::max(step, std::fabs(v[i] - v[i - 1]));
    return step;
}

// About 20 dB of gain reduction (AC Threshold 30, 4:1) and the switch at
// `from` in the first block; at `at`, a queue point inside a 512-sample
// block, `to`, or, after a new activation when asked, at the start of the
// block it begins; Engage off from the second block when asked.
StereoSignal Render(ParamID id, double from, double to, size_t at, bool inPlace = false, bool reactivate = false,
                    bool disengaged = false)
{
    HostedPlugin plug;
    EXPECT_TRUE(plug.Prepare(At44k1()));
    const StereoSignal in = Sine();
    StereoSignal out(in.Frames());
    for (size_t pos = 0; pos < in.Frames();) {
        const size_t end = std::min({pos + 512, reactivate && pos < at ? at : in.Frames(), in.Frames()});
        ParameterChanges changes;
        if (pos == 0) {
            changes.Add(2, 0.6);
            changes.Add(3, 3.0 / 9.0);
            changes.Add(id, from);
        }
        if (pos == 512 && disengaged)
            changes.Add(kEngage, 0.0);
        if (pos <= at && at < end) {
            changes.Add(id).Add(static_cast<int32>(at - pos), to);
            if (reactivate) {
                plug.Component()->setActive(false);
                plug.Component()->setActive(true);
            }
        }
        plug.ProcessBlock(in, nullptr, pos, static_cast<int>(end - pos), out, &changes, inPlace);
        pos = end;
    }
    return out;
}

}   // namespace

TEST(SwitchFade, EachSwitchFadesBothWaysFromItsSampleAndAtOnceAfterActivation)
{
    const struct {
        ParamID id;
        double from, to;
    } cases[] = {{kEngage, 1.0, 0.0}, {kEngage, 0.0, 1.0}, {kBypassId, 0.0, 1.0}, {kBypassId, 1.0, 0.0}};
    const StereoSignal in = Sine();
    const size_t at = 22050 + 123, last = at + 220;   // 5 ms: 221 samples
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "parameter " << c.id << " to " << c.to);
        const bool toDry = (c.id == kEngage) == (c.to == 0.0);
        // Resumed from the host bypass, the chain's state differs from a run that never stopped.
        const bool sideKnown = c.id == kEngage || toDry;
        const StereoSignal out = Render(c.id, c.from, c.to, at);
        const StereoSignal unswitched = Render(c.id, c.from, c.from, at);
        EXPECT_EQ(Render(c.id, c.from, c.to, at, true).left, out.left);   // in place
        EXPECT_TRUE(std::equal(out.left.begin(), out.left.begin() + at, unswitched.left.begin()));
        EXPECT_NE(out.left[at], unswitched.left[at]);
        // A cut here steps by 0.45, 64 times the sine's own largest step.
        EXPECT_LT(LargestStep(out.left, at - 1, last + 1), 1.5 * LargestStep(in.left, 0, 441));
        EXPECT_LT(LargestStep(out.right, at - 1, last + 1), 1.5 * LargestStep(in.left, 0, 441));
        // It ends on the side switched to, exactly: Engage's chain ran on.
        const StereoSignal side = toDry ? in : Render(c.id, c.to, c.to, at);
        EXPECT_NE(out.left[last - 1], side.left[last - 1]);
        EXPECT_EQ(std::equal(out.left.begin() + last, out.left.end(), side.left.begin() + last), sideKnown);
        // In the first block after an activation, at once.
        const StereoSignal fresh = Render(c.id, c.from, c.to, at, false, true);
        if (sideKnown) {
            EXPECT_TRUE(std::equal(fresh.left.begin() + at, fresh.left.end(), side.left.begin() + at));
        }
    }
    // From a state loaded before the first block, at once.
    for (ParamID id : {kEngage, kBypassId}) {
        HostedPlugin saved, loaded;
        ASSERT_TRUE(saved.Prepare(At44k1()) && loaded.Prepare(At44k1()));
        ParameterChanges changes;
        changes.Add(id, id == kEngage ? 0.0 : 1.0);
        saved.Apply(changes);
        ASSERT_EQ(loaded.LoadState(saved.SaveState()), kResultOk);
        EXPECT_EQ(loaded.Render(in, nullptr, {512}).left, in.left);
    }
    // Disengaged under the host bypass: leaving the bypass fades to the input
    // alone, with no trace of the chain's output (0.06 with both fades).
    const StereoSignal under = Render(kBypassId, 1.0, 0.0, at, false, false, true);
    for (size_t i = 0; i < in.Frames(); ++i)
        ASSERT_NEAR(under.left[i], in.left[i], 1e-15) << i;
}
