// The chain's plain C++ branches, which ARM64 runs, forced on x86-64 against
// its SSE2 ones: the bundle as built, and the same module built against the
// portable twins (cmake/PortablePaths.cmake), both through process as a host
// runs them. They take turns, whole passes over the material, for a number of
// rounds; each one's figure is its fastest pass in this thread's CPU time, per
// stereo frame, and the ratio comes from one run.
#include "common/ThreadClock.h"
#include "peers/BundleInstance.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kRounds = 8;
constexpr double kSeconds = 1.0;   // of audio per pass

// Tidepull's parameter ids, as the host sees them.
constexpr uint32_t kInputAttenId = 0;
constexpr uint32_t kAcThresholdId = 2;

class Build {
public:
    Build(const char* path, bool is64, bool glide_) : plug(path, kRate, kBlock, is64), glide(glide_)
    {
        plug.SetNormalized(kAcThresholdId, 14.0 / 50.0);
    }
    const std::string& Error() const { return plug.Error(); }

    void Pass(const StereoMaterial& m)
    {
        for (size_t at = 0; at + kBlock <= m.l.size(); at += kBlock, ++block) {
            // Gliding, the input gain has a new target every block: the
            // chain's moving path all the time.
            if (glide)
                plug.SetNormalized(kInputAttenId, block % 2 ? 0.55 : 0.5);
            plug.RunMaterial(m, at, kBlock);
        }
    }

    double best = 1e300;   // seconds per pass

private:
    BundleInstance plug;
    bool glide;
    long block = 0;
};

void RunBoth(benchmark::State& st, bool is64, bool glide)
{
    Build sse2(TIDEPULL_BENCH_BUNDLE, is64, glide);
    Build portable(TIDEPULL_BENCH_PORTABLE_BUNDLE, is64, glide);
    for (const Build* b : {&sse2, &portable}) {
        if (!b->Error().empty()) {
            st.SkipWithError(b->Error().c_str());
            return;
        }
    }
    const StereoMaterial music = StereoMaterial::Music(static_cast<size_t>(kRate * kSeconds));
    // Two seconds to settle (the glides from the defaults, the caches).
    for (int warm = 0; warm < 2; ++warm) {
        sse2.Pass(music);
        portable.Pass(music);
    }
    Build* both[2] = {&sse2, &portable};
    for (auto _ : st) {
        for (int round = 0; round < kRounds; ++round) {
            for (int j = 0; j < 2; ++j) {
                Build& b = *both[(j + round) % 2];
                const double start = ThreadClock::Seconds();
                b.Pass(music);
                b.best = std::min(b.best, ThreadClock::Seconds() - start);
            }
        }
    }
    const double frames = static_cast<double>(music.l.size() / kBlock * kBlock);
    st.counters["sse2_ns"] = sse2.best * 1e9 / frames;
    st.counters["portable_ns"] = portable.best * 1e9 / frames;
    st.counters["portable_vs_sse2"] = portable.best / sse2.best;
}

void Register()
{
    for (const bool glide : {false, true})
        for (const bool is64 : {false, true}) {
            const std::string name = std::string("portable_paths/chain/") + (is64 ? "64bit/" : "32bit/") +
                (glide ? "input_glide" : "settled");
            benchmark::RegisterBenchmark(name.c_str(),
                                         [is64, glide](benchmark::State& st) { RunBoth(st, is64, glide); })
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
        }
}

// Registered before main, with the rest of the binary's benchmarks.
const bool kRegistered = (Register(), true);

}   // namespace
