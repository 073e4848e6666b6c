// Tidepull against two LV2 compressors, each set for about 6 dB of gain
// reduction on the same music-like signal: LSP Compressor Stereo (attack
// level 0.075) and x42 darc stereo (ratio 0.3) against Tidepull with AC
// Threshold 14, as its VST 3 build and as its LV2 build (through the same
// lilv host as the peers, 32-bit as LV2 is). The contenders take turns, whole
// passes over the material, for a number of rounds; each one's figure is its
// fastest pass in this thread's CPU time, per stereo frame, and the ratios
// come from one run.
#include "peers/PeerBench.h"

#include "common/ThreadClock.h"
#include "peers/BundleInstance.h"
#include "peers/Lv2Instance.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kLspUri = "http://lsp-plug.in/plugins/lv2/compressor_stereo";
const char* const kDarcUri = "http://gareus.org/oss/lv2/darc#stereo";

constexpr int kRounds = 8;
constexpr double kSeconds = 1.0;   // of audio per pass
constexpr double kWarmUpSeconds = 2.0;

// Tidepull's parameter ids, as the host sees them.
constexpr uint32_t kInputAttenId = 0;
constexpr uint32_t kAcThresholdId = 2;
constexpr uint32_t kReleaseId = 4;

enum class Glide { kNone, kThreshold, kInputGain };

struct Case {
    double rate;
    bool is64;
    int release;
    Glide glide;
    int block;   // Tidepull's; 1 adds a 512-block Tidepull for the per-call cost
};

class Contender {
public:
    virtual ~Contender() = default;
    virtual const std::string& Error() const = 0;
    // One block from frame at; block index b for automation.
    virtual void Block(const StereoMaterial& m, size_t at, int n, long b) = 0;

    std::string label;
    int block = 512;
    double best = 1e300;   // seconds per pass
};

class TidepullContender : public Contender {
public:
    TidepullContender(const Case& c, int blockSize)
        : plug(TIDEPULL_BENCH_BUNDLE, c.rate, blockSize, c.is64),
          glide(c.glide)
    {
        block = blockSize;
        plug.SetNormalized(kAcThresholdId, 14.0 / 50.0);
        plug.SetNormalized(kReleaseId, c.release / 5.0);
    }
    const std::string& Error() const override { return plug.Error(); }
    bool WroteOutput() const { return plug.WroteOutput(); }
    void Block(const StereoMaterial& m, size_t at, int n, long b) override
    {
        // A new target every 512 frames keeps the smoother moving all the time.
        if (glide != Glide::kNone && (b * block) % 512 == 0) {
            const bool up = ((b * block) / 512) % 2 != 0;
            if (glide == Glide::kThreshold)
                plug.SetNormalized(kAcThresholdId, (up ? 16.0 : 14.0) / 50.0);
            else
                plug.SetNormalized(kInputAttenId, up ? 0.55 : 0.5);
        }
        plug.RunMaterial(m, at, n);
    }

private:
    BundleInstance plug;
    Glide glide;
};

// Glides are a new target every glideBlocks blocks.
class Lv2Contender : public Contender {
public:
    Lv2Contender(const char* uri, const Case& c, std::vector<std::pair<std::string, float>> controls,
                 std::string glideSymbol, float glideFrom, float glideTo, long glideBlocks = 2,
                 const std::string& bundle = "")
        : plug(uri, c.rate, 512, controls, bundle),
          glide(c.glide != Glide::kNone),
          symbol(std::move(glideSymbol)),
          from(glideFrom),
          to(glideTo),
          every(glideBlocks)
    {
        out.assign(1024, 0.0f);
    }
    const std::string& Error() const override { return plug.Error(); }
    void Block(const StereoMaterial& m, size_t at, int n, long b) override
    {
        if (glide && b % every == 0)
            plug.SetControl(symbol, (b / every) % 2 ? to : from);
        const float* in[2] = {m.lf.data() + at, m.rf.data() + at};
        float* o[2] = {out.data(), out.data() + 512};
        plug.Run(in, o, static_cast<uint32_t>(n));
        benchmark::DoNotOptimize(out.data());
    }

private:
    Lv2Instance plug;
    bool glide;
    std::string symbol;
    float from, to;
    long every;
    std::vector<float> out;
};

// The LV2 build on the VST 3 build's settings and automation, in plain
// values: AC Threshold 14 to 16 dB, Input Atten 0 to +1.8 dB (0.5 to 0.55
// normalised), a new target every 512 frames.
std::unique_ptr<Contender> TidepullLv2(const Case& c)
{
    const bool inputGlide = c.glide == Glide::kInputGain;
    auto lv2 = std::make_unique<Lv2Contender>(
        TIDEPULL_BENCH_LV2_URI, c,
        std::vector<std::pair<std::string, float>>{{"ac_threshold", 14.0f}, {"release", static_cast<float>(c.release)}},
        inputGlide ? "input_atten" : "ac_threshold", inputGlide ? 0.0f : 14.0f, inputGlide ? 1.8f : 16.0f, 1,
        TIDEPULL_BENCH_LV2_BUNDLE);
    lv2->label = "tidepull_lv2";
    return lv2;
}

// One whole pass over the material in the contender's block size.
void Pass(Contender& c, const StereoMaterial& m, long& blockIndex)
{
    const size_t frames = m.l.size();
    for (size_t at = 0; at + static_cast<size_t>(c.block) <= frames; at += static_cast<size_t>(c.block))
        c.Block(m, at, c.block, blockIndex++);
}

void RunPeers(benchmark::State& st, const Case& c)
{
    std::vector<std::unique_ptr<Contender>> all;
    std::vector<const TidepullContender*> vst3Builds;
    auto tidepull = std::make_unique<TidepullContender>(c, c.block);
    tidepull->label = c.block == 1 ? "tidepull_block1" : "tidepull";
    vst3Builds.push_back(tidepull.get());
    all.push_back(std::move(tidepull));
    if (c.block == 1) {
        auto big = std::make_unique<TidepullContender>(c, 512);
        big->label = "tidepull";
        vst3Builds.push_back(big.get());
        all.push_back(std::move(big));
    }
    all.push_back(TidepullLv2(c));
    auto lsp = std::make_unique<Lv2Contender>(kLspUri, c, std::vector<std::pair<std::string, float>>{{"al", 0.075f}},
                                              "al", 0.075f, 0.06f);
    lsp->label = "lsp";
    all.push_back(std::move(lsp));
    auto darc = std::make_unique<Lv2Contender>(kDarcUri, c, std::vector<std::pair<std::string, float>>{{"Ratio", 0.3f}},
                                               "Ratio", 0.3f, 0.35f);
    darc->label = "darc";
    all.push_back(std::move(darc));
    for (const auto& one : all) {
        if (!one->Error().empty()) {
            st.SkipWithError(one->Error().c_str());
            return;
        }
    }

    const StereoMaterial music = StereoMaterial::Music(static_cast<size_t>(c.rate * kSeconds));
    std::vector<long> blockIndex(all.size(), 0);
    for (double warm = 0.0; warm < kWarmUpSeconds; warm += kSeconds) {
        for (size_t k = 0; k < all.size(); ++k)
            Pass(*all[k], music, blockIndex[k]);
    }
    for (auto _ : st) {
        for (int round = 0; round < kRounds; ++round) {
            // Each round starts with a different contender.
            for (size_t j = 0; j < all.size(); ++j) {
                const size_t k = (j + static_cast<size_t>(round)) % all.size();
                const double start = ThreadClock::Seconds();
                Pass(*all[k], music, blockIndex[k]);
                all[k]->best = std::min(all[k]->best, ThreadClock::Seconds() - start);
            }
        }
    }

    for (const TidepullContender* one : vst3Builds) {
        if (!one->WroteOutput()) {
            st.SkipWithError("the VST 3 build wrote no output");
            return;
        }
    }

    auto nsPerFrame = [&](const Contender& one) {
        const size_t frames = music.l.size() / static_cast<size_t>(one.block) * static_cast<size_t>(one.block);
        return one.best * 1e9 / static_cast<double>(frames);
    };
    const double ours = nsPerFrame(*all[0]);
    const Contender* vst3 = nullptr;
    const Contender* lv2 = nullptr;
    for (const auto& one : all) {
        st.counters[one->label + "_ns"] = nsPerFrame(*one);
        vst3 = one->label == "tidepull" ? one.get() : vst3;
        lv2 = one->label == "tidepull_lv2" ? one.get() : lv2;
        if (one.get() != all[0].get() && one->label != "tidepull_lv2")
            st.counters[all[0]->label + "_vs_" + one->label] = ours / nsPerFrame(*one);
    }
    // Both builds in the same sample size only.
    if (!c.is64)
        st.counters["tidepull_lv2_vs_vst3"] = nsPerFrame(*lv2) / nsPerFrame(*vst3);
}

}   // namespace

void RegisterPeerBenchmarks()
{
    std::vector<std::pair<std::string, Case>> cases;
    for (double rate : {44100.0, 96000.0}) {
        for (bool is64 : {false, true}) {
            for (int release = 0; release <= 5; ++release) {
                for (Glide glide : {Glide::kNone, Glide::kThreshold, Glide::kInputGain}) {
                    char name[96];
                    std::snprintf(name, sizeof name, "peers/%s/%s/release%d/%s", rate < 50000.0 ? "44k1" : "96k",
                                  is64 ? "64bit" : "32bit", release,
                                  glide == Glide::kNone
                                      ? "settled"
                                      : (glide == Glide::kThreshold ? "threshold_glide" : "input_glide"));
                    cases.push_back({name, {rate, is64, release, glide, 512}});
                }
            }
        }
    }
    cases.push_back({"peers/44k1/32bit/release0/settled/block1", {44100.0, false, 0, Glide::kNone, 1}});
    for (const auto& c : cases) {
        const Case one = c.second;
        benchmark::RegisterBenchmark(c.first.c_str(), [one](benchmark::State& st) { RunPeers(st, one); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}
