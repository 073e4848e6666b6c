#include "ChainComparison.h"
#include "PlugHarness.h"
#include "ReferenceChain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const double kSettledOne = 0.9999970197677612;   // single-precision smoother toward 1

double TimeCoef44k(double ms)
{
    return std::pow(0.01, 1.0 / (ms * 44100.0 * 0.001));
}

using Change = ChainComparison::Change;

}   // namespace

// ---- the chain, step by step ----

TEST(TidepullChain, FollowsTheChainThroughParameterChanges)
{
    ASSERT_EQ(std::pow(10.0, -18.0 / 20.0), 0.12589254117941673);
    ASSERT_EQ(std::pow(10.0, 18.0 / 20.0), 7.943282347242816);

    PlugPtr plug = MakeHostedPlug();
    MeterLog log;
    plug->AttachEditor(new MeterProbe(log, 1));
    plug->SetMeterControlIndex(0);
    ReferenceChain ref(44100.0);
    ref.editorAttached = true;

    const Signal sig = Program(44100 * 2);
    const std::vector<Change> script = {
        {0, Tidepull::kAcThreshold, 24.0},
        {0, Tidepull::kDcThreshold, 6.0},
        {10, Tidepull::kInputAtten, -18.0},
        {15, Tidepull::kRelease, 1.0},
        {20, Tidepull::kOutput, 7.5},
        {25, Tidepull::kInputAtten, 18.0},
        {30, Tidepull::kRelease, 2.0},
        {35, Tidepull::kHpf, 480.0},
        {40, Tidepull::kRelease, 3.0},
        {45, Tidepull::kMix, 35.0},
        {50, Tidepull::kExternalSidechain, 1.0},
        {55, Tidepull::kRelease, 4.0},
        {60, Tidepull::kBypass, 0.0},
        {64, Tidepull::kBypass, 1.0},
        {70, Tidepull::kRelease, 5.0},
        {75, Tidepull::kExternalSidechain, 0.0},
        {80, Tidepull::kAcThreshold, 50.0},
        {80, Tidepull::kDcThreshold, 10.0},
        {90, Tidepull::kDcThreshold, 1.0},
        {100, Tidepull::kAcThreshold, 0.0},
        {110, Tidepull::kInputAtten, 0.0},
        {120, Tidepull::kMix, 100.0},
    };
    EXPECT_EQ(ChainComparison(*plug, ref).Run(sig, {512}, script), "");
}

TEST(TidepullChain, FollowsTheChainAtOtherRatesAndBlockSizes)
{
    PlugPtr plug = MakeHostedPlug(48000.0, 1000);
    ReferenceChain ref(48000.0);
    ref.editorAttached = true;   // the plug builds its own editor
    const Signal sig = Program(30000, 48000.0, 777);
    EXPECT_EQ(ChainComparison(*plug, ref).Run(sig, {1000}, {{0, Tidepull::kAcThreshold, 30.0}}), "");

    // A change of rate acts at the next block, the detector's times too.
    plug->SetSampleRate(96000.0);
    ref.setSampleRate(96000.0);
    const Signal more = Program(20000, 96000.0, 99);
    EXPECT_EQ(ChainComparison(*plug, ref).Run(more, {37}, {{0, Tidepull::kRelease, 4.0}}), "");
}

TEST(TidepullChain, EmptyBlocksChangeNothing)
{
    PlugPtr a = MakeHostedPlug();
    PlugPtr b = MakeHostedPlug();
    const Signal sig = Program(2048);
    const Output oa = Process(*a, sig, 256);
    const Output ob = RunBlocks(sig, 256, [&](double** in, double** out, int32_t n) {
        b->ProcessBlock(in, out, 0);
        b->ProcessBlock(in, out, -5);
        b->ProcessBlock(in, out, n);
    });
    EXPECT_EQ(oa.l, ob.l);
    EXPECT_EQ(oa.r, ob.r);
}

// ---- outputs ----

TEST(TidepullOutput, BypassZeroPassesTheInputAndTheMeterFalls)
{
    PlugPtr plug = MakeHostedPlug();
    MeterLog log;
    plug->AttachEditor(new MeterProbe(log, 2));
    plug->SetMeterControlIndex(1);
    SetParam(*plug, Tidepull::kBypass, 0.0);
    SetParam(*plug, Tidepull::kAcThreshold, 40.0);

    const Signal sig = Program(44100);
    const Output out = Process(*plug, sig);
    EXPECT_EQ(out.l, sig.l);
    EXPECT_EQ(out.r, sig.r);
    EXPECT_EQ(plug->MeterValue(), 0.0);
    // From 1.0 the distance shrinks to 1 % every 300 ms: 1e-6.67 after a second.
    EXPECT_LT(plug->MeterState(), 1e-6);
    EXPECT_GT(plug->MeterState(), 0.0);
    EXPECT_EQ(log.lastValue, plug->MeterState());
}

TEST(TidepullOutput, MixZeroSettlesToTheInput)
{
    PlugPtr plug = MakeHostedPlug();
    SetParam(*plug, Tidepull::kAcThreshold, 30.0);
    const Signal warm = Program(22050);
    Process(*plug, warm);
    SetParam(*plug, Tidepull::kMix, 0.0);
    const Signal settle = Program(44100, 44100.0, 4242);
    const Output moving = Process(*plug, settle);
    EXPECT_NE(moving.l[0], settle.l[0]);   // the wet share fades, it does not jump

    Signal sig = Program(8192, 44100.0, 31337);
    const Output out = Process(*plug, sig);
    for (size_t i = 0; i < sig.size(); ++i) {
        ASSERT_NE(sig.l[i], 0.0);
        EXPECT_EQ(out.l[i], sig.l[i]) << i;
        EXPECT_EQ(out.r[i], sig.r[i]) << i;
    }
}

TEST(TidepullOutput, MixWeightsSettleAtTheSmootherLimits)
{
    // A constant input leaves no wet signal, so what remains is the dry share.
    auto dryShare = [](double mixPercent) {
        PlugPtr plug = MakeHostedPlug();
        SetParam(*plug, Tidepull::kMix, mixPercent);
        Signal dc(44100 * 3);
        std::fill(dc.l.begin(), dc.l.end(), 1.0);
        std::fill(dc.r.begin(), dc.r.end(), 1.0);
        return Process(*plug, dc).l.back();
    };
    EXPECT_NEAR(dryShare(100.0), 1.0 - kSettledOne, 1e-12);
    EXPECT_NEAR(dryShare(50.0), 0.5000015, 1e-7);

    // The wet share: with the wet signal known from the model, the settled
    // output is (1 - w) x + w wet with w the smoother's limit.
    PlugPtr plug = MakeHostedPlug();
    SetParam(*plug, Tidepull::kAcThreshold, 20.0);
    ReferenceChain ref(44100.0);
    ref.params.acThreshold = 20.0;
    const Signal sig = Program(44100);
    const Output out = Process(*plug, sig);
    ref.recordWet = true;
    RunBlocks(sig, 512, [&](double** in, double** o, int32_t n) { ref.process(in, o, n); });
    ASSERT_EQ(ref.wetL.size(), sig.size());
    for (size_t i = 22050; i < sig.size(); ++i) {
        const double expected = (1.0 - kSettledOne) * sig.l[i] + kSettledOne * ref.wetL[i];
        ASSERT_NEAR(out.l[i], expected, kChainTolerance) << i;
    }
}

TEST(TidepullOutput, ConstantInputLeavesNoWetSignal)
{
    PlugPtr plug = MakeHostedPlug();
    Signal dc(44100 * 2);
    std::fill(dc.l.begin(), dc.l.end(), 1.0);
    std::fill(dc.r.begin(), dc.r.end(), 1.0);
    const Output out = Process(*plug, dc);
    const double dry = 1.0 - kSettledOne;
    double early = 0.0;
    for (size_t i = 100; i < 4410; ++i)
        early = std::max(early, std::fabs(out.l[i] - dry));
    double late = 0.0;
    for (size_t i = 44100; i < dc.size(); ++i)
        late = std::max(late, std::fabs(out.l[i] - dry));
    EXPECT_GT(early, 1e-2);
    EXPECT_LT(late, 1e-9);
    EXPECT_LT(std::fabs(out.r.back() - dry), 1e-12);
}

TEST(TidepullOutput, InPlaceProcessingMatchesSeparateBuffers)
{
    PlugPtr separate = MakeHostedPlug();
    PlugPtr inPlace = MakeHostedPlug();
    for (Tidepull* p : {separate.get(), inPlace.get()}) {
        SetParam(*p, Tidepull::kAcThreshold, 25.0);
        SetParam(*p, Tidepull::kMix, 70.0);
    }
    const Signal sig = Program(44100 / 2);
    const Output expected = Process(*separate, sig);

    Signal buf = sig;
    for (size_t pos = 0; pos < buf.size(); pos += 512) {
        const int32_t n = static_cast<int32_t>(std::min<size_t>(512, buf.size() - pos));
        double* ins[4] = {&buf.l[pos], &buf.r[pos], &buf.scL[pos], &buf.scR[pos]};
        double* outs[2] = {&buf.l[pos], &buf.r[pos]};
        inPlace->ProcessBlock(ins, outs, n);
    }
    EXPECT_EQ(buf.l, expected.l);
    EXPECT_EQ(buf.r, expected.r);
}

// ---- compression ----

TEST(TidepullCompression, SineAtHalfScaleSettlesFifteenDbDown)
{
    PlugPtr plug = MakeHostedPlug();
    MeterLog log;
    plug->AttachEditor(new MeterProbe(log, 1));
    plug->SetMeterControlIndex(0);
    SetParam(*plug, Tidepull::kAcThreshold, 20.0);
    SetParam(*plug, Tidepull::kDcThreshold, 4.0);
    SetParam(*plug, Tidepull::kRelease, 0.0);

    const Signal sig = Sine(44100 * 2, 1000.0, 0.5);
    const Output out = Process(*plug, sig);
    EXPECT_NEAR(plug->GainDb(), -14.99, 0.05);
    const double inDb = 20.0 * std::log10(Rms(sig.l, 44100, sig.size()));
    const double outDbL = 20.0 * std::log10(Rms(out.l, 44100, sig.size()));
    const double outDbR = 20.0 * std::log10(Rms(out.r, 44100, sig.size()));
    EXPECT_NEAR(outDbL - inDb, -14.8, 0.3);
    EXPECT_NEAR(outDbR - inDb, -14.8, 0.3);
    EXPECT_NEAR(plug->MeterState(), 0.82, 0.01);
    EXPECT_NEAR(plug->MeterValue(), 1.0 - std::pow(10.0, plug->GainDb() / 20.0), 1e-12);
    // After the smoothers settle the detector sits on the cached values.
    EXPECT_NEAR(plug->Compressor().getRatio(), 4.0, 1e-4);
    EXPECT_NEAR(plug->Compressor().getThreshold(), -20.0, 1e-3);
    EXPECT_EQ(plug->Compressor().getKnee(), 1.0);
}

TEST(TidepullCompression, InputAttenMovesTheDetectorLevel)
{
    // Threshold -20 dB, ratio 4, knee -30..-10 dB; the sidechain peaks near
    // 0 dB before the input gain.
    auto settledGain = [](double atten) {
        PlugPtr plug = MakeHostedPlug();
        SetParam(*plug, Tidepull::kAcThreshold, 20.0);
        SetParam(*plug, Tidepull::kDcThreshold, 4.0);
        SetParam(*plug, Tidepull::kInputAtten, atten);
        Process(*plug, Sine(44100 * 2, 1000.0, 0.5));
        return plug->GainDb();
    };
    EXPECT_NEAR(settledGain(-18.0), -0.75 * 12.0 * 12.0 / 40.0, 0.05);   // inside the knee
    EXPECT_NEAR(settledGain(18.0), (-20.0 - 18.0) * 0.75, 0.05);
}

TEST(TidepullCompression, SilentExternalSidechainGivesNoReduction)
{
    PlugPtr plug = MakeHostedPlug();
    SetParam(*plug, Tidepull::kExternalSidechain, 1.0);
    SetParam(*plug, Tidepull::kAcThreshold, 40.0);
    const Signal sig = Sine(44100, 440.0, 0.9);
    size_t sample = 0;
    RunBlocks(sig, 1, [&](double** in, double** out, int32_t n) {
        // The gain of a sample uses the ratio set during the sample before.
        const double ratio = plug->Compressor().getRatio();
        plug->ProcessBlock(in, out, n);
        if (ratio > 1.0) {
            ASSERT_EQ(plug->GainDb(), 0.0) << "sample " << sample;
            ASSERT_EQ(plug->MeterValue(), 0.0);
        }
        ++sample;
    });
    EXPECT_GT(plug->Compressor().getRatio(), 1.9);
    EXPECT_EQ(plug->Compressor().getEnvelope(), 0.0);

    // The same material on the main sidechain is compressed hard.
    SetParam(*plug, Tidepull::kExternalSidechain, 0.0);
    Process(*plug, sig);
    EXPECT_LT(plug->GainDb(), -10.0);
}

TEST(TidepullCompression, StartupRatioBelowOneExpands)
{
    PlugPtr plug = MakeHostedPlug();
    SetParam(*plug, Tidepull::kExternalSidechain, 1.0);
    Signal sig(8);
    RunBlocks(sig, 1, [&](double** in, double** out, int32_t n) { plug->ProcessBlock(in, out, n); });
    EXPECT_LT(plug->Compressor().getRatio(), 1.0);
    EXPECT_EQ(plug->GainDb(), -HUGE_VAL);   // an envelope of 0 is expanded to silence
}

TEST(TidepullCompression, LevelDependentReleaseWithSilence)
{
    const struct {
        double position;
        double releaseMs;
        double knee;
    } cases[] = {{4.0, 7000.0, 0.6}, {5.0, 10000.0, 0.4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        PlugPtr plug = MakeHostedPlug();
        SetParam(*plug, Tidepull::kRelease, c.position);
        SetParam(*plug, Tidepull::kAcThreshold, 20.0);
        Signal sig = Sine(44100 * 2, 200.0, 0.9);
        std::fill(sig.l.begin() + 8820, sig.l.end(), 0.0);
        std::fill(sig.r.begin() + 8820, sig.r.end(), 0.0);
        Process(*plug, sig);   // a loud burst, then 1.8 s of silence

        const double coef = TimeCoef44k(c.releaseMs);
        EXPECT_EQ(plug->Compressor().getReleaseCoef(), coef);
        EXPECT_EQ(plug->Compressor().getKnee(), c.knee);

        // In silence the envelope falls by the release coefficient every sample.
        const double before = plug->Compressor().getEnvelope();
        ASSERT_GT(before, 0.1);
        Process(*plug, Signal(44100));
        const double after = plug->Compressor().getEnvelope();
        EXPECT_NEAR(after / before, std::pow(coef, 44100.0), 1e-9);
        EXPECT_NEAR(std::pow(coef, c.releaseMs * 44.1), 0.01, 1e-9);
    }
}

TEST(TidepullCompression, FixedReleasePositions)
{
    const double times[4] = {300.0, 800.0, 2000.0, 5000.0};
    const double knees[4] = {1.0, 0.8, 0.6, 0.5};
    for (int32_t pos = 0; pos < 4; ++pos) {
        PlugPtr plug = MakeHostedPlug();
        SetParam(*plug, Tidepull::kRelease, pos);
        Process(*plug, Program(1024));
        EXPECT_EQ(plug->Compressor().getReleaseCoef(), TimeCoef44k(times[pos])) << pos;
        EXPECT_EQ(plug->Compressor().getKnee(), knees[pos]) << pos;
    }
}

// Attack, hold and release take the same time at every rate: counted in
// samples, they scale with it. One click on the external sidechain, then
// silence until the envelope is down to 1 % of its peak.
TEST(TidepullCompression, DetectorTimesAreTheSameAtEveryRate)
{
    const double releaseMs[6] = {300.0, 800.0, 2000.0, 5000.0, 7000.0, 10000.0};   // 4, 5: in silence
    for (int32_t position = 0; position < 6; ++position) {
        double fallAt44k = 0.0;
        for (double rate : {44100.0, 48000.0, 96000.0, 192000.0}) {
            SCOPED_TRACE(testing::Message() << "position " << position << " at " << rate);
            PlugPtr plug = MakeHostedPlug(rate, 4096);
            SetParam(*plug, Tidepull::kExternalSidechain, 1.0);
            SetParam(*plug, Tidepull::kRelease, position);
            Process(*plug, Signal(8192), 4096);   // the input gain fades in first
            std::vector<double> env;   // after each sample from the click on; a long block's at its end
            auto run = [&](size_t n, int32_t block, double click = 0.0) {
                Signal sig(n);
                sig.scL[0] = click;
                RunBlocks(sig, block, [&](double** in, double** out, int32_t k) {
                    plug->ProcessBlock(in, out, k);
                    env.resize(env.size() + static_cast<size_t>(k), plug->Compressor().getEnvelope());
                });
            };
            const double due = (3.0 + releaseMs[position]) / 1000.0;
            run(static_cast<size_t>(0.01 * rate), 1, 1.0);
            run(static_cast<size_t>((due - 0.015) * rate), 4096);
            while (env.back() >= 0.01 * env[0] && env.size() < static_cast<size_t>((due + 0.01) * rate))
                run(1, 1);

            // Attack: 0.8 ms to 1 %. Hold: 3 ms in whole samples.
            EXPECT_NEAR(std::log(0.01) / std::log(plug->Compressor().getAttackCoef()), 0.0008 * rate, 1e-6);
            const size_t hold = static_cast<size_t>(rate * 0.003);
            EXPECT_EQ(plug->Compressor().getHoldLength(), static_cast<int32_t>(hold));
            EXPECT_EQ(env[hold], env[0]);
            EXPECT_LT(env[hold + 1], env[0]);
            // Release: at 1 % at the same moment, within a sample of either rate.
            const double fallAt = static_cast<double>(env.size() - 1) / rate;
            fallAt44k = rate == 44100.0 ? fallAt : fallAt44k;
            EXPECT_NEAR(fallAt, fallAt44k, 1.0 / 44100.0 + 1.0 / rate);
            EXPECT_NEAR(fallAt, due, 0.001);
        }
    }
}

// ---- meter ----

// The meter is handed its values a stretch at a time, and a gliding input
// gain runs in shorter stretches until it comes to rest within the block:
// whatever the block size, the control sees every sample's value in order.
TEST(TidepullMeter, EverySamplesValueInOrderWhateverTheBlockSize)
{
    const Signal sig = Program(3000);
    auto values = [&sig](int32_t block) {
        PlugPtr plug = MakeHostedPlug();
        MeterLog log;
        log.keepValues = true;
        plug->AttachEditor(new MeterProbe(log, 3));
        plug->SetMeterControlIndex(1);
        SetParam(*plug, Tidepull::kInputAtten, 9.0);
        Process(*plug, sig, block);
        EXPECT_EQ(log.values.back(), plug->MeterState());
        return log.values;
    };
    const std::vector<double> whole = values(512);
    ASSERT_EQ(whole.size(), sig.l.size());
    for (int32_t block : {1, 37, 100, 2048})
        EXPECT_EQ(values(block), whole) << block;
}

TEST(TidepullMeter, PushedEverySampleOnlyToAValidControl)
{
    const Signal sig = Program(1000);
    {
        PlugPtr plug = MakeHostedPlug();   // its own editor: ballistics from the first sample
        EXPECT_EQ(plug->MeterState(), 1.0);
        Process(*plug, sig);
        EXPECT_LT(plug->MeterState(), 1.0);
    }
    {
        PlugPtr plug = MakeHostedPlug();
        MeterLog log;
        plug->AttachEditor(new MeterProbe(log, 3));
        plug->SetMeterControlIndex(2);
        Process(*plug, sig, 100);
        EXPECT_EQ(log.calls, 1000);
        EXPECT_EQ(log.lastControl, 2);
        EXPECT_EQ(log.lastValue, plug->MeterState());
        EXPECT_LT(plug->MeterState(), 1.0);
    }
    for (int32_t bad : {3, -1, 100}) {
        PlugPtr plug = MakeHostedPlug();
        MeterLog log;
        plug->AttachEditor(new MeterProbe(log, 3));
        plug->SetMeterControlIndex(bad);
        Process(*plug, sig);
        EXPECT_EQ(log.calls, 0) << bad;
        EXPECT_LT(plug->MeterState(), 1.0) << bad;   // ballistics still run
    }
}
