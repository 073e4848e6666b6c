// The chain's shortcuts (shared saturate calls, skipped smoother steps, the
// reused gain, the deferred release coefficient) against the reference model,
// in the regimes where each one is taken, and in and out of them.
#include "ChainComparison.h"
#include "PlugHarness.h"
#include "ReferenceChain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>

namespace {

using Change = ChainComparison::Change;

double DbToGain(double dB)
{
    return std::pow(10.0, dB / 20.0);
}

// Program material gated into bursts of about 0.2 s with silences between,
// so the detector keeps moving between attack, hold and long releases.
Signal Bursts(size_t n, double rate = 44100.0, uint32_t seed = 2024)
{
    Signal s = Program(n, rate, seed);
    const size_t period = static_cast<size_t>(rate * 0.45);
    for (size_t i = 0; i < n; ++i) {
        if (i % period > period * 4 / 9) {
            s.l[i] = 0.0;
            s.r[i] = 0.0;
            s.scL[i] = 0.0;
            s.scR[i] = 0.0;
        }
    }
    return s;
}

struct Settled {
    bool inputGain, ratio, threshold, outputGain, mix;
    bool All() const { return inputGain && ratio && threshold && outputGain && mix; }
    bool Any() const { return inputGain || ratio || threshold || outputGain || mix; }
};

Settled SettledState(const Tidepull& plug, const ReferenceChain::Params& p)
{
    return {plug.InputGainSmoother().settledAt(DbToGain(p.inputAtten)), plug.DcSmoother().settledAt(p.dcThreshold),
            plug.AcSmoother().settledAt(p.acThreshold), plug.OutputGainSmoother().settledAt(DbToGain(p.output)),
            plug.MixSmoother().settledAt(p.mix / 100.0)};
}

PlugPtr WithMeter(MeterLog& log, double rate = 44100.0, int32_t maxBlock = 1024)
{
    PlugPtr plug = MakeHostedPlug(rate, maxBlock);
    plug->AttachEditor(new MeterProbe(log, 1));
    plug->SetMeterControlIndex(0);
    return plug;
}

// One block of n frames as pieces of the given sizes (the last ones cut or
// left out to fit).
void ProcessInPieces(Tidepull& plug, double** in, double** out, int32_t n, std::initializer_list<int32_t> sizes)
{
    int32_t at = 0;
    for (int32_t size : sizes) {
        const int32_t m = std::min(size, n - at);
        double* i2[4] = {in[0] + at, in[1] + at, in[2] + at, in[3] + at};
        double* o2[2] = {out[0] + at, out[1] + at};
        plug.ProcessBlock(i2, o2, m);
        at += m;
    }
}

}   // namespace

TEST(TidepullFastPath, SettledParametersStayExactOverLongRuns)
{
    const struct {
        const char* name;
        std::vector<Change> settings;
    } cases[] = {
        {"defaults", {}},
        {"everything moved",
         {{0, Tidepull::kInputAtten, -18.0},
          {0, Tidepull::kOutput, 7.5},
          {0, Tidepull::kMix, 35.0},
          {0, Tidepull::kAcThreshold, 30.0},
          {0, Tidepull::kDcThreshold, 6.0},
          {0, Tidepull::kRelease, 2.0},
          {0, Tidepull::kHpf, 480.0}}},
        {"hot drive, external sidechain",
         {{0, Tidepull::kInputAtten, 18.0},
          {0, Tidepull::kAcThreshold, 50.0},
          {0, Tidepull::kDcThreshold, 10.0},
          {0, Tidepull::kExternalSidechain, 1.0}}},
        {"mix 0, threshold 0", {{0, Tidepull::kMix, 0.0}, {0, Tidepull::kDcThreshold, 1.0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MeterLog log;
        PlugPtr plug = WithMeter(log);
        ReferenceChain ref(44100.0);
        ref.editorAttached = true;
        ChainComparison run(*plug, ref);
        EXPECT_EQ(run.Run(Program(44100 * 12, 44100.0, 7), {512}, c.settings), "");
        // The whole second half ran on the settled paths.
        EXPECT_TRUE(SettledState(*plug, ref.params).All());
    }
}

TEST(TidepullFastPath, SmoothersReachingTheirFixedPointsSampleBySample)
{
    // One-sample blocks decide between the paths before every sample, so the
    // switch happens exactly where each smoother comes to rest.
    MeterLog log;
    PlugPtr plug = WithMeter(log);
    ReferenceChain ref(44100.0);
    ref.editorAttached = true;
    ChainComparison run(*plug, ref);
    const Signal warm = Program(44100 * 4, 44100.0, 11);
    ASSERT_EQ(run.Run(warm, {512}), "");
    ASSERT_TRUE(SettledState(*plug, ref.params).All());

    int32_t restedAt = -1;
    run.beforeBlock = [&](int32_t block) {
        if (restedAt < 0 && SettledState(*plug, ref.params).All())
            restedAt = block;
    };
    const std::vector<Change> moves = {{0, Tidepull::kInputAtten, 6.0},
                                       {0, Tidepull::kOutput, -3.0},
                                       {0, Tidepull::kMix, 60.0},
                                       {0, Tidepull::kAcThreshold, 12.0},
                                       {0, Tidepull::kDcThreshold, 3.0}};
    EXPECT_EQ(run.Run(Program(44100, 44100.0, 12), {1}, moves), "");
    // Still moving at first, at rest well before the end.
    EXPECT_GT(restedAt, 100);
    EXPECT_LT(restedAt, 40000);
}

TEST(TidepullFastPath, LeavingAndReenteringTheFastPaths)
{
    MeterLog log;
    PlugPtr plug = WithMeter(log);
    ReferenceChain ref(44100.0);
    ref.editorAttached = true;
    ChainComparison run(*plug, ref);
    int32_t settledBlocks = 0;
    int32_t movingBlocks = 0;
    run.beforeBlock = [&](int32_t) { ++(SettledState(*plug, ref.params).All() ? settledBlocks : movingBlocks); };
    // Changes far enough apart for every smoother to come to rest in between,
    // some of them back to the value before, in block sizes that end at odd
    // places in a glide.
    const std::vector<Change> script = {
        {0, Tidepull::kAcThreshold, 24.0},   {0, Tidepull::kDcThreshold, 4.0},     {300, Tidepull::kInputAtten, -9.0},
        {600, Tidepull::kInputAtten, 0.0},   {650, Tidepull::kOutput, 4.0},        {900, Tidepull::kMix, 20.0},
        {1200, Tidepull::kMix, 100.0},       {1210, Tidepull::kAcThreshold, 40.0}, {1500, Tidepull::kDcThreshold, 8.0},
        {1800, Tidepull::kInputAtten, 12.0}, {1801, Tidepull::kInputAtten, 11.99}, {2100, Tidepull::kBypass, 0.0},
        {2150, Tidepull::kBypass, 1.0},      {2400, Tidepull::kAcThreshold, 0.0},
    };
    EXPECT_EQ(run.Run(Program(2700 * 128, 44100.0, 13), {128, 1, 37, 256, 5}, script), "");
    EXPECT_GT(settledBlocks, 1000);
    EXPECT_GT(movingBlocks, 100);
}

TEST(TidepullFastPath, AutomationEveryBlockStaysExact)
{
    // Nothing settles: the moving paths, with every read ticking.
    PlugPtr plug = MakeHostedPlug();
    ReferenceChain ref(44100.0);
    ChainComparison run(*plug, ref);
    std::vector<Change> script;
    for (int32_t b = 0; b < 400; ++b) {
        const double x = static_cast<double>(b % 50) / 49.0;
        script.push_back({b, Tidepull::kAcThreshold, 50.0 * x});
        script.push_back({b, Tidepull::kInputAtten, 18.0 - 36.0 * x});
        script.push_back({b, Tidepull::kMix, 50.0 + 50.0 * x});
        script.push_back({b, Tidepull::kDcThreshold, 1.0 + 9.0 * (1.0 - x)});
        script.push_back({b, Tidepull::kOutput, -6.0 * x});
    }
    EXPECT_EQ(run.Run(Program(400 * 256, 44100.0, 14), {256}, script), "");
}

TEST(TidepullFastPath, LevelDependentReleaseKeepsEveryCoefficient)
{
    // Positions 4 and 5 change the release time every sample, and with it the
    // coefficient the detector recomputes or keeps. The comparison after every
    // block checks the coefficient itself, and one-sample blocks check it
    // after every sample.
    for (double position : {4.0, 5.0}) {
        SCOPED_TRACE(position);
        for (int32_t blockSize : {1, 29, 512}) {
            SCOPED_TRACE(blockSize);
            MeterLog log;
            PlugPtr plug = WithMeter(log);
            ReferenceChain ref(44100.0);
            ref.editorAttached = true;
            ChainComparison run(*plug, ref);
            const size_t n = blockSize == 1 ? 44100 / 2 : 44100 * 4;
            EXPECT_EQ(
                run.Run(Bursts(n), {blockSize}, {{0, Tidepull::kRelease, position}, {0, Tidepull::kAcThreshold, 20.0}}),
                "");
        }
    }

    // Into and out of the level-dependent positions mid-stream.
    PlugPtr plug = MakeHostedPlug();
    ReferenceChain ref(44100.0);
    ChainComparison run(*plug, ref);
    const std::vector<Change> script = {
        {0, Tidepull::kAcThreshold, 30.0}, {0, Tidepull::kRelease, 5.0},
        {40, Tidepull::kRelease, 1.0},     {80, Tidepull::kRelease, 4.0},
        {120, Tidepull::kRelease, 5.0},    {160, Tidepull::kRelease, 3.0},
        {200, Tidepull::kRelease, 4.0},    {240, Tidepull::kExternalSidechain, 1.0},
    };
    EXPECT_EQ(run.Run(Bursts(300 * 300), {300, 7}, script), "");
}

TEST(TidepullFastPath, SampleRateChangesMidStream)
{
    MeterLog log;
    PlugPtr plug = WithMeter(log, 44100.0, 2048);
    ReferenceChain ref(44100.0);
    ref.editorAttached = true;
    ChainComparison run(*plug, ref);
    const std::vector<Change> script = {
        {0, Tidepull::kAcThreshold, 24.0},
        {0, Tidepull::kRelease, 4.0},
        {200, ChainComparison::kSampleRate, 96000.0},
        {400, ChainComparison::kSampleRate, 22050.0},
        {450, Tidepull::kHpf, 300.0},
        {600, ChainComparison::kSampleRate, 48000.0},
        {601, Tidepull::kRelease, 0.0},
        {800, ChainComparison::kSampleRate, 192000.0},
    };
    EXPECT_EQ(run.Run(Program(1000 * 512, 48000.0, 15), {512, 2048, 3}, script), "");
}

TEST(TidepullFastPath, NonFiniteSamplesRecoverIdentically)
{
    const double bads[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
    for (double bad : bads) {
        for (bool onSidechain : {false, true}) {
            SCOPED_TRACE(testing::Message() << bad << (onSidechain ? " on the sidechain" : ""));
            MeterLog log;
            PlugPtr plug = WithMeter(log);
            ReferenceChain ref(44100.0);
            ref.editorAttached = true;
            ref.recoverNonFinite = true;
            ChainComparison run(*plug, ref);
            Signal sig = Program(44100 * 3, 44100.0, 16);
            // One in a settled stretch, mid-block, and one on a block's last sample.
            for (size_t at : {44100 + 100, 2 * 44100 + 511}) {
                (onSidechain ? sig.scL : sig.l)[at] = bad;
            }
            const std::vector<Change> script = {{0, Tidepull::kAcThreshold, 25.0},
                                                {0, Tidepull::kExternalSidechain, onSidechain ? 1.0 : 0.0}};
            EXPECT_EQ(run.Run(sig, {512}, script), "");
            EXPECT_TRUE(SettledState(*plug, ref.params).All());
        }
    }
}

TEST(TidepullFastPath, CurveChangesWhileTheEnvelopeHolds)
{
    // A steady 1 kHz sine peaks again well within the 132-sample hold, so the
    // envelope stays frozen for long stretches and the gain is reused. Its
    // level sits inside the knee, so every change of the knee (through the
    // release position), the ratio or the threshold must reach the gain even
    // though the envelope did not move.
    PlugPtr plug = MakeHostedPlug();
    ReferenceChain ref(44100.0);
    ChainComparison run(*plug, ref);
    std::vector<Change> script = {{0, Tidepull::kAcThreshold, 30.0}, {0, Tidepull::kDcThreshold, 4.0}};
    const double positions[] = {0.0, 3.0, 1.0, 5.0, 2.0, 4.0};
    for (int32_t k = 1; k < 60; ++k)
        script.push_back({40 + 10 * k, Tidepull::kRelease, positions[k % 6]});
    script.push_back({700, Tidepull::kDcThreshold, 2.5});
    script.push_back({740, Tidepull::kAcThreshold, 27.0});
    int32_t frozen = 0;
    double lastEnvelope = -1.0;
    run.beforeBlock = [&](int32_t) {
        frozen += plug->Compressor().getEnvelope() == lastEnvelope;
        lastEnvelope = plug->Compressor().getEnvelope();
    };
    EXPECT_EQ(run.Run(Sine(800 * 64, 1000.0, 0.028), {64, 1, 63}, script), "");
    EXPECT_GT(frozen, 100);   // the envelope did sit still across block boundaries
}

// The faster curve, band-pass clocks and gain step against the exact chain,
// in every combination a host can reach them: three rates, every release
// position, odd block sizes, automation of every continuous parameter, the
// external sidechain and the bypass switched on and off, drive hot enough to
// leave the curve's table and quiet enough to use its series.
TEST(TidepullFastPath, StaysWithinTheExactChainAtEveryRateAndReleasePosition)
{
    double worst = 0.0;
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        for (int32_t position = 0; position <= 5; ++position) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, release " << position);
            MeterLog log;
            PlugPtr plug = WithMeter(log, rate, 1024);
            ReferenceChain ref(rate);
            ref.editorAttached = true;
            ChainComparison run(*plug, ref);
            Signal sig = Program(static_cast<size_t>(rate * 1.5), rate, 40 + static_cast<uint32_t>(position));
            const size_t n = sig.size();
            for (size_t i = 0; i < n; ++i) {
                // A loud stretch (past the table at +18 dB drive) and a quiet one.
                const double scale = i < n / 6 ? 1.8 : (i > n * 5 / 6 ? 0.002 : 1.0);
                sig.l[i] *= scale;
                sig.r[i] *= scale;
            }
            const std::vector<Change> script = {
                {0, Tidepull::kRelease, static_cast<double>(position)},
                {0, Tidepull::kInputAtten, 18.0},
                {0, Tidepull::kAcThreshold, 20.0},
                {9, Tidepull::kDcThreshold, 6.0},
                {13, Tidepull::kOutput, -4.0},
                {20, Tidepull::kInputAtten, -7.5},
                {27, Tidepull::kMix, 70.0},
                {33, Tidepull::kExternalSidechain, 1.0},
                {40, Tidepull::kBypass, 0.0},
                {44, Tidepull::kBypass, 1.0},
                {52, Tidepull::kExternalSidechain, 0.0},
                {60, Tidepull::kAcThreshold, 35.0},
                {61, Tidepull::kAcThreshold, 5.0},
                {70, Tidepull::kHpf, 250.0},
                {80, Tidepull::kInputAtten, 0.0},
            };
            EXPECT_EQ(run.Run(sig, {509, 1, 37, 1024, 3}, script), "");
            worst = std::max(worst, run.worstOutputDifference);
        }
    }
    // Far inside the tolerance: a drift toward it would show here first.
    EXPECT_LT(worst, kChainTolerance * 1e-2);
    RecordProperty("worst_output_difference", (testing::Message() << worst).GetString());
    std::printf("largest difference from the exact chain: %.3g\n", worst);
}

// The held clocks and the separate ones round differently, so which one a
// sample takes must follow from the sample alone, never from where a block
// begins: the same audio cut into other blocks gives the same bits, also
// while the input gain glides into and out of rest.
TEST(TidepullFastPath, WhereBlocksBeginDoesNotChangeTheSound)
{
    const Signal sig = Program(512 * 160, 44100.0, 77);
    auto render = [&sig](bool split) {
        PlugPtr plug = MakeHostedPlug(44100.0, 512);
        int32_t block = 0;
        return RunBlocks(sig, 512, [&](double** in, double** out, int32_t n) {
            std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
            if (block % 40 == 0)
                SetParam(*plug, Tidepull::kInputAtten, block % 80 == 0 ? 9.0 : -6.0);
            if (block == 100)
                SetParam(*plug, Tidepull::kRelease, 5.0);
            ++block;
            if (!split) {
                plug->ProcessBlock(in, out, n);
                return;
            }
            ProcessInPieces(*plug, in, out, n, {1, 7, 64, 3, 90, 37, 110, 200});
        });
    };
    const Output whole = render(false);
    const Output pieces = render(true);
    EXPECT_EQ(pieces.l, whole.l);
    EXPECT_EQ(pieces.r, whole.r);
}

// Where the envelope moves through most of a stretch its gains are all made
// anew, elsewhere only where it moved: both must give the bits of the other,
// so a stretch cut differently (other block sizes) sounds the same, at every
// release position, the curve at rest and gliding, the input gain at rest
// and gliding, in bursts (holds and long releases) and in quiet.
TEST(TidepullFastPath, GainsMadeAnewOrReusedGiveTheSameBits)
{
    const Signal sig = Bursts(512 * 60, 44100.0, 91);
    for (int32_t position = 0; position <= 5; ++position) {
        SCOPED_TRACE(testing::Message() << "release " << position);
        auto render = [&sig, position](bool split) {
            PlugPtr plug = MakeHostedPlug(44100.0, 512);
            int32_t block = 0;
            return RunBlocks(sig, 512, [&](double** in, double** out, int32_t n) {
                std::lock_guard<std::recursive_mutex> lock(plug->Mutex());
                if (block == 0)
                    SetParam(*plug, Tidepull::kRelease, position);
                if (block >= 10 && block < 30)
                    SetParam(*plug, Tidepull::kAcThreshold, block % 2 ? 14.0 : 16.0);
                if (block == 35 || block == 45)
                    SetParam(*plug, Tidepull::kInputAtten, block == 35 ? 1.8 : 0.0);
                ++block;
                if (!split) {
                    plug->ProcessBlock(in, out, n);
                    return;
                }
                ProcessInPieces(*plug, in, out, n, {1, 2, 5, 63, 64, 65, 17, 1, 127, 167});
            });
        };
        const Output whole = render(false);
        const Output pieces = render(true);
        EXPECT_EQ(pieces.l, whole.l);
        EXPECT_EQ(pieces.r, whole.r);
    }
}
