// Flush-to-zero during process: the host's mode comes back, and no sample
// above 1e-30 changes.
#include "FixedParameterChanges.h"
#include "HostBlock.h"
#include "PlugHarness.h"

#include "core/DenormalGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define GUARD_TEST_MODE 1
#elif defined(__aarch64__)
#define GUARD_TEST_MODE 1
#endif

namespace {

using namespace Steinberg::Vst;

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Both values tiny, or the same bits.
bool SameAboveTiny(double a, double b, double tiny = 1e-30)
{
    return (std::fabs(a) <= tiny && std::fabs(b) <= tiny) || SameBits(a, b);
}

// Two plugs fed the same blocks, one with subnormals flushed as process
// does, one without; every output sample above 1e-30 must agree.
class GuardedPair {
public:
    GuardedPair() : flushed(MakeHostedPlug()), plain(MakeHostedPlug()) {}

    void Set(int32_t idx, double v)
    {
        SetParam(*flushed, idx, v);
        SetParam(*plain, idx, v);
    }

    void Run(const Signal& sig)
    {
        const Output a = RunBlocks(sig, 512, [&](double** in, double** out, int32_t n) {
            DenormalGuard guard;
            std::lock_guard<std::recursive_mutex> lock(flushed->Mutex());
            flushed->ProcessBlock(in, out, n);
        });
        const Output b = Process(*plain, sig, 512);
        for (size_t i = 0; i < sig.size(); ++i) {
            for (int ch = 0; ch < 2; ++ch) {
                const double x = (ch ? a.r : a.l)[i];
                const double y = (ch ? b.r : b.l)[i];
                if (std::fabs(x) > 1e-30 || std::fabs(y) > 1e-30) {
                    ++compared;
                    if (!SameBits(x, y) && mismatches++ == 0)
                        ADD_FAILURE() << "sample " << i << " channel " << ch << ": " << x << " vs " << y;
                } else {
                    ++tiny;
                }
            }
        }
    }

    // The running state that reaches the audio agrees too: smoothers, the
    // detector's curve and envelope and the gain wherever they are not tiny.
    void ExpectStatesAgree() const
    {
        const Tidepull& f = *flushed;
        const Tidepull& p = *plain;
        EXPECT_EQ(f.InputGainSmoother().getState(), p.InputGainSmoother().getState());
        EXPECT_EQ(f.DcSmoother().getState(), p.DcSmoother().getState());
        EXPECT_EQ(f.OutputGainSmoother().getState(), p.OutputGainSmoother().getState());
        EXPECT_TRUE(SameAboveTiny(f.MixSmoother().getState(), p.MixSmoother().getState()));
        EXPECT_TRUE(SameAboveTiny(f.AcSmoother().getState(), p.AcSmoother().getState()));
        const compressor& a = f.Compressor();
        const compressor& b = p.Compressor();
        EXPECT_TRUE(SameAboveTiny(a.getEnvelope(), b.getEnvelope()));
        EXPECT_EQ(a.getRatio(), b.getRatio());
        EXPECT_TRUE(SameAboveTiny(a.getThreshold(), b.getThreshold()));
        EXPECT_EQ(a.getKnee(), b.getKnee());
        EXPECT_EQ(a.getReleaseCoef(), b.getReleaseCoef());
        EXPECT_EQ(a.getAttackCoef(), b.getAttackCoef());
        if (std::fabs(b.getEnvelope()) > 1e-30) {
            EXPECT_TRUE(SameBits(f.GainDb(), p.GainDb()));
        }
        EXPECT_TRUE(SameAboveTiny(f.MeterState(), p.MeterState()));
    }

    PlugPtr flushed;
    PlugPtr plain;
    size_t compared = 0;
    size_t tiny = 0;
    size_t mismatches = 0;
};

// The signal with its level moving linearly in dB from fromDb to toDb.
Signal Scaled(Signal s, double fromDb, double toDb)
{
    const double n = static_cast<double>(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double g = std::pow(10.0, (fromDb + (toDb - fromDb) * static_cast<double>(i) / n) / 20.0);
        s.l[i] *= g;
        s.r[i] *= g;
        s.scL[i] *= g;
        s.scR[i] *= g;
    }
    return s;
}

}   // namespace

TEST(DenormalGuard, AudioAboveTinyLevelsIsUnchanged)
{
    GuardedPair pair;
    pair.Set(Tidepull::kAcThreshold, 24.0);
    pair.Set(Tidepull::kDcThreshold, 4.0);
    const double rate = 44100.0;
    auto seconds = [rate](double s) { return static_cast<size_t>(s * rate); };

    {
        SCOPED_TRACE("music, a fade through the subnormals, then long silence");
        pair.Run(Program(seconds(2), rate, 1));
        pair.Run(Scaled(Program(seconds(3), rate, 2), 0.0, -6600.0));
        pair.Run(Signal(seconds(50)));
        pair.ExpectStatesAgree();
        // The silence left the unflushed memories subnormal, the flushed ones
        // at zero: the guard did take effect.
        EXPECT_EQ(std::fpclassify(pair.plain->Compressor().getEnvelope()), FP_SUBNORMAL);
        EXPECT_EQ(pair.flushed->Compressor().getEnvelope(), 0.0);
        EXPECT_EQ(std::fpclassify(pair.plain->MeterState()), FP_SUBNORMAL);
    }
    {
        SCOPED_TRACE("a silent external sidechain under loud music, then back");
        pair.Set(Tidepull::kExternalSidechain, 1.0);
        Signal sig = Program(seconds(3), rate, 3);
        std::fill(sig.scL.begin(), sig.scL.end(), 0.0);
        std::fill(sig.scR.begin(), sig.scR.end(), 0.0);
        pair.Run(sig);
        pair.Run(Program(seconds(1), rate, 4));
        pair.Set(Tidepull::kExternalSidechain, 0.0);
        pair.Run(Program(seconds(2), rate, 5));
        pair.ExpectStatesAgree();
    }
    {
        SCOPED_TRACE("MIX and threshold resting at 0, then moved away");
        pair.Set(Tidepull::kMix, 0.0);
        pair.Set(Tidepull::kAcThreshold, 0.0);
        pair.Run(Program(seconds(5), rate, 6));
        EXPECT_EQ(std::fpclassify(pair.plain->MixSmoother().getState()), FP_SUBNORMAL);
        EXPECT_EQ(pair.flushed->MixSmoother().getState(), 0.0f);
        pair.ExpectStatesAgree();
        pair.Set(Tidepull::kMix, 100.0);
        pair.Set(Tidepull::kAcThreshold, 30.0);
        pair.Run(Program(seconds(2), rate, 7));
        pair.ExpectStatesAgree();
    }
    {
        SCOPED_TRACE("subnormal input samples, and the release tail at position 5");
        pair.Run(Scaled(Program(seconds(1), rate, 8), -6200.0, -6200.0));
        pair.Run(Program(seconds(1), rate, 9));
        pair.Set(Tidepull::kRelease, 5.0);
        Signal burst = Program(seconds(6), rate, 10);
        std::fill(burst.l.begin() + static_cast<long>(seconds(0.5)), burst.l.end(), 0.0);
        std::fill(burst.r.begin() + static_cast<long>(seconds(0.5)), burst.r.end(), 0.0);
        pair.Run(burst);
        pair.Run(Program(seconds(1), rate, 11));
        pair.ExpectStatesAgree();
    }
    EXPECT_EQ(pair.mismatches, 0u);
    // All but the fades and silences was compared.
    EXPECT_GT(pair.compared, 2 * seconds(20));
}

#ifdef GUARD_TEST_MODE

namespace {

#if defined(__x86_64__) || defined(_M_X64)
// The MXCSR: mode and status flags in one word.
using Mode = unsigned int;
Mode GetMode()
{
    return _mm_getcsr();
}
void SetMode(Mode m)
{
    _mm_setcsr(m);
}
constexpr Mode kFlush = DenormalGuard::kFlushToZero | DenormalGuard::kDenormalsAreZero;
constexpr Mode kStatusFlags = 0x3F;
constexpr Mode kDefaultMode = 0x1F80;
// The default mode; one with flush-to-zero already on; one with a different
// rounding mode, unmasked-nothing but a sticky status flag set.
constexpr Mode kHostModes[] = {0x1F80, 0x1F80 | kFlush, 0x3F80 | 0x20};
#else
// FPCR in the low half, FPSR (the status flags) in the high half.
using Mode = uint64_t;
Mode GetMode()
{
    return DenormalGuard::ReadFpcr() | DenormalGuard::ReadFpsr() << 32;
}
void SetMode(Mode m)
{
    DenormalGuard::WriteFpcr(m & 0xFFFFFFFFu);
    DenormalGuard::WriteFpsr(m >> 32);
}
constexpr Mode kFlush = DenormalGuard::kFlushToZero;
constexpr Mode kStatusFlags = 0xFFFFFFFFull << 32;
constexpr Mode kDefaultMode = 0;
// The default mode; one with FZ already on; one rounding toward zero, the
// inexact flag set.
constexpr Mode kHostModes[] = {0, kFlush, (uint64_t{3} << 22) | (uint64_t{0x10} << 32)};
#endif

// Stands in for the editor: notes the floating-point mode while the chain
// pushes the meter from inside process.
class ModeProbe : public EditorLink {
public:
    void PushParamToControls(int32_t, double, bool) override {}
    void PrepareSurfaces() override {}
    int32_t ControlCount() const override { return 1; }
    void ReceiveControlValue(int32_t, double) override
    {
        seen = GetMode();
        ++calls;
    }

    Mode seen = 0;
    int calls = 0;
};

// Restores the test's own mode, whatever the test did to it.
class ModeRestore {
public:
    ModeRestore() : saved(GetMode()) {}
    ~ModeRestore() { SetMode(saved); }

private:
    Mode saved;
};

PlugPtr ProcessingPlug(int32_t sampleSize)
{
    PlugPtr plug(new Tidepull());
    plug->initialize(nullptr);
    ProcessSetup setup{kRealtime, sampleSize, 256, 44100.0};
    plug->setupProcessing(setup);
    plug->setActive(true);
    return plug;
}

}   // namespace

TEST(DenormalGuard, ProcessRestoresTheHostsFloatingPointMode)
{
    ModeRestore restore;
    for (int32_t sampleSize : {kSample32, kSample64}) {
        PlugPtr plug = ProcessingPlug(sampleSize);
        auto* probe = new ModeProbe();
        plug->AttachEditor(probe);
        plug->SetMeterControlIndex(0);
        HostBlock block(256);
        block.Load(Program(256), 0, 256);
        for (Mode host : kHostModes) {
            SCOPED_TRACE(testing::Message() << std::hex << "host mode 0x" << host << " sample size " << sampleSize);
            const struct {
                const char* what;
                int32_t frames;
                double bypass;   // host bypass parameter value
            } runs[] = {{"a block", 256, 0.0}, {"an empty block", 0, 0.0}, {"host bypass", 256, 1.0}};
            for (const auto& run : runs) {
                SCOPED_TRACE(run.what);
                FixedParameterChanges changes;
                changes.Add(0x62706173, run.bypass);   // host bypass
                changes.Add(Tidepull::kMix, 0.5);
                probe->calls = 0;
                SetMode(host);
                plug->process(block.Data(sampleSize == kSample64, run.frames, false, &changes));
                const Mode after = GetMode();
                SetMode(kDefaultMode);
                EXPECT_EQ(after, host);
                if (run.frames == 0) {
                    EXPECT_EQ(probe->calls, 0);
                } else {
                    // Bypassed, the chain runs on through the 5 ms fade only.
                    ASSERT_EQ(probe->calls, run.bypass < 0.5 ? run.frames : 221);
                    // Inside: the host's mode with the flush bits on.
                    EXPECT_EQ(probe->seen & ~kStatusFlags, (host | kFlush) & ~kStatusFlags);
                }
            }
        }
    }
}

#endif
