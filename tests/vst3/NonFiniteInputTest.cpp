// A NaN or infinite input sample reads as silence on every path: the chain,
// the dry share of the mix, Engage off and the host's bypass.
#include "HostedPlugin.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(NonFiniteInputTest, OneBadSampleRendersAsIfItWereSilence)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (int block : {512, 4096}) {
        const size_t n = static_cast<size_t>(block);
        const StereoSignal music = StereoSignal::Music(3 * n, 48000.0, 0.7, 11);
        const StereoSignal key = StereoSignal::Music(3 * n, 48000.0, 0.9, 12);
        // Main left, main right, key left, key right: a block's first sample,
        // mid-block, a block's last sample, early in a block.
        const size_t at[4] = {0, n + n / 2, 2 * n - 1, 2 * n + 7};
        for (int32 size : {kSample32, kSample64}) {
            for (int path : {0, 1, 2}) {   // processed, host bypass, Engage off
                const bool hostBypass = path == 1;
                for (int place = 0; place < 4; ++place) {
                    SCOPED_TRACE(testing::Message() << size << " " << block << " " << path << " " << place);
                    // Compressing hard from the key, half the input mixed in dry.
                    auto render = [&](double v) {
                        StereoSignal in = music;
                        StereoSignal sc = key;
                        (place < 2 ? in : sc).Channel(place % 2)[at[place]] = v;
                        HostedPlugin plug;
                        EXPECT_TRUE(plug.Valid() && plug.Prepare(HostedPlugin::Setup::Of(size, block, true)));
                        ParameterChanges changes;
                        for (ParamID id : {2u, 3u, 8u})   // AC Threshold, DC Threshold, External Sidechain
                            changes.Add(id, 1.0);
                        changes.Add(6, 0.5);   // MIX
                        changes.Add(7, path == 2 ? 0.0 : 1.0);   // Engage
                        changes.Add(0x62706173, hostBypass ? 1.0 : 0.0);
                        return plug.Render(in, &sc, {block}, &changes);
                    };
                    const StereoSignal silent = render(0.0);
                    for (double bad : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
                        const StereoSignal out = render(bad);
                        EXPECT_TRUE(out.AllFinite()) << bad;
                        EXPECT_EQ(out.left, silent.left) << bad;
                        EXPECT_EQ(out.right, silent.right) << bad;
                    }
                }
            }
        }
    }
}
