// Cost of Tidepull::ProcessBlock at 44.1 kHz in 512-sample blocks.
// Reported per stereo sample, and as a multiple of real time ("x realtime":
// how many seconds of stereo audio one second of one core processes).
#include "plug/Tidepull.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

// This thread's CPU time: the figures stay meaningful on a loaded machine.
double ThreadSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

enum class Scene { kMusic, kAutomation, kSilence, kMixZero, kRelease5 };

// Noise through a gentle low-pass with a slow level envelope: close enough to
// music for the detector to move between attack, hold and release.
class MusicLike {
public:
    double Next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double white = static_cast<double>(state >> 11) * (1.0 / 9007199254740992.0) * 2.0 - 1.0;
        lp += 0.2 * (white - lp);
        ++n;
        const double env = 0.25 + 0.2 * ((n / 11025) % 4);
        return lp * env * 2.0;
    }

private:
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    double lp = 0.0;
    long n = 0;
};

void Run(benchmark::State& st, Scene scene)
{
    Tidepull plug;
    plug.SetSampleRate(kRate);
    plug.SetMaxBlockSize(kBlock);
    plug.SelectPreset(0);
    auto set = [&plug](int32_t idx, double v) {
        plug.ParamAt(idx)->SetValue(v);
        plug.ParamChanged(idx);
    };
    set(Tidepull::kAcThreshold, 24.0);
    set(Tidepull::kDcThreshold, 4.0);
    if (scene == Scene::kMixZero)
        set(Tidepull::kMix, 0.0);
    if (scene == Scene::kRelease5)
        set(Tidepull::kRelease, 5.0);

    // A few seconds of audio prepared up front, cycled through.
    const int nBlocks = 64;
    std::vector<double> l(static_cast<size_t>(kBlock) * nBlocks, 0.0), r(l.size(), 0.0);
    if (scene != Scene::kSilence) {
        MusicLike gen;
        for (size_t i = 0; i < l.size(); ++i) {
            l[i] = gen.Next();
            r[i] = 0.8 * l[i] + 0.2 * gen.Next();
        }
    }
    std::vector<double> outL(kBlock), outR(kBlock), zero(kBlock, 0.0);

    auto processOne = [&](int b) {
        double* in[4] = {l.data() + b * kBlock, r.data() + b * kBlock, zero.data(), zero.data()};
        double* out[2] = {outL.data(), outR.data()};
        plug.ProcessBlock(in, out, kBlock);
    };
    // Settle smoothers and detector before measuring.
    for (int k = 0; k < 200; ++k)
        processOne(k % nBlocks);

    int b = 0;
    double sweep = 0.0;
    const double start = ThreadSeconds();
    for (auto _ : st) {
        if (scene == Scene::kAutomation) {
            sweep = sweep >= 1.0 ? 0.0 : sweep + 0.01;
            plug.ParamAt(Tidepull::kAcThreshold)->SetFromNormalized(sweep);
            plug.ParamChanged(Tidepull::kAcThreshold);
            plug.ParamAt(Tidepull::kInputAtten)->SetFromNormalized(1.0 - sweep);
            plug.ParamChanged(Tidepull::kInputAtten);
            plug.ParamAt(Tidepull::kMix)->SetFromNormalized(0.5 + 0.5 * sweep);
            plug.ParamChanged(Tidepull::kMix);
        }
        processOne(b);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
        b = (b + 1) % nBlocks;
    }

    const double seconds = ThreadSeconds() - start;
    const double samples = static_cast<double>(st.iterations()) * kBlock;
    st.counters["ns_per_stereo_sample"] = seconds * 1e9 / samples;
    st.counters["x_realtime"] = (samples / kRate) / seconds;
}

} // namespace

BENCHMARK_CAPTURE(Run, music_settled, Scene::kMusic);
BENCHMARK_CAPTURE(Run, automation_every_block, Scene::kAutomation);
BENCHMARK_CAPTURE(Run, silence, Scene::kSilence);
BENCHMARK_CAPTURE(Run, mix_zero, Scene::kMixZero);
BENCHMARK_CAPTURE(Run, release_5, Scene::kRelease5);

BENCHMARK_MAIN();
