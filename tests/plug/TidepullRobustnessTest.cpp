#include "AllocationCounter.h"
#include "PlugHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

bool AllFinite(const std::vector<double>& v, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i) {
        if (!std::isfinite(v[i]))
            return false;
    }
    return true;
}

// Program material with one bad sample; answers the output.
Output RunWithBadSample(Tidepull& plug, double bad, size_t at, bool onSidechain)
{
    Signal sig = Program(44100);
    (onSidechain ? sig.scL : sig.l)[at] = bad;
    return Process(plug, sig, 512);
}

}   // namespace

TEST(TidepullRobustness, OneNonFiniteSampleDoesNotSilenceThePlug)
{
    const double bads[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
    // Mid-block and last sample of a block.
    const size_t places[] = {5 * 512 + 100, 8 * 512 + 511};
    for (double bad : bads) {
        for (size_t at : places) {
            for (bool onSidechain : {false, true}) {
                SCOPED_TRACE(testing::Message() << bad << " at " << at << (onSidechain ? " sidechain" : ""));
                PlugPtr plug = MakeHostedPlug();
                MeterLog log;
                plug->AttachEditor(new MeterProbe(log, 1));
                plug->SetMeterControlIndex(0);
                SetParam(*plug, Tidepull::kAcThreshold, 25.0);
                SetParam(*plug, Tidepull::kExternalSidechain, onSidechain ? 1.0 : 0.0);

                const Output out = RunWithBadSample(*plug, bad, at, onSidechain);
                const size_t nextBlock = (at / 512 + 1) * 512;
                EXPECT_TRUE(AllFinite(out.l, 0, at));
                EXPECT_TRUE(AllFinite(out.l, nextBlock, out.l.size()));
                EXPECT_TRUE(AllFinite(out.r, nextBlock, out.r.size()));
                EXPECT_TRUE(std::isfinite(plug->GainDb()));
                EXPECT_TRUE(std::isfinite(plug->MeterState()));
                EXPECT_TRUE(std::isfinite(log.lastValue));
                // Still compressing, not stuck in silence.
                EXPECT_GT(Rms(out.l, out.l.size() - 4410, out.l.size()), 1e-3);
                EXPECT_GT(plug->Compressor().getEnvelope(), 0.0);
            }
        }
    }
}

TEST(TidepullRobustness, ProcessingAndParameterChangesNeverAllocate)
{
    PlugPtr plug = MakeHostedPlug(44100.0, 256);
    MeterLog log;
    plug->AttachEditor(new MeterProbe(log, 1));
    plug->SetMeterControlIndex(0);
    const Signal sig = Program(256 * 200);
    std::vector<double> bl(256), br(256), bsl(256), bsr(256), ol(256), orr(256);

    AllocationCounter::Start();
    for (size_t block = 0; block < 200; ++block) {
        const size_t pos = block * 256;
        for (size_t s = 0; s < 256; ++s) {
            bl[s] = sig.l[pos + s];
            br[s] = sig.r[pos + s];
            bsl[s] = sig.scL[pos + s];
            bsr[s] = sig.scR[pos + s];
        }
        const int32_t idx = static_cast<int32_t>(block % 9);
        const ParamRecord& p = *plug->ParamAt(idx);
        const double x = static_cast<double>(block % 7) / 6.0;
        SetParam(*plug, idx, p.Min() + x * (p.Max() - p.Min()));
        double* ins[4] = {bl.data(), br.data(), bsl.data(), bsr.data()};
        double* outs[2] = {ol.data(), orr.data()};
        std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
        plug->ProcessBlock(ins, outs, 256);
    }
    EXPECT_EQ(AllocationCounter::Stop(), 0);
    EXPECT_EQ(log.calls, 256 * 200);

    // The counter does see allocations.
    AllocationCounter::Start();
    void* probe = ::operator new(16);
    ::operator delete(probe);
    EXPECT_EQ(AllocationCounter::Stop(), 1);
}
