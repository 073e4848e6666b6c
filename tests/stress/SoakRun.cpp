#include "SoakRun.h"

#include "HostedPlugin.h"
#include "ParameterChanges.h"
#include "RandomSettings.h"
#include "StereoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <unistd.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Stretches of this length at most, so no more than a few seconds of audio
// is ever held in memory.
constexpr double kMaxStretchSeconds = 2.0;

void Compare(const StereoSignal& a, const StereoSignal& b, int64_t base, SoakRun::Result& result)
{
    for (size_t i = 0; i < a.Frames(); ++i) {
        if (!std::isfinite(a.left[i]) || !std::isfinite(a.right[i]))
            ++result.nonFinite;
        // Bit-identical, NaN included: compare the representations.
        if (std::memcmp(&a.left[i], &b.left[i], sizeof(double)) != 0 ||
            std::memcmp(&a.right[i], &b.right[i], sizeof(double)) != 0) {
            if (result.firstMismatch < 0)
                result.firstMismatch = base + static_cast<int64_t>(i);
            ++result.mismatches;
        }
    }
}

}   // namespace

long SoakRun::ResidentKb()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return -1;
    long pages = 0;
    long resident = 0;
    const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    if (got != 2)
        return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

SoakRun::Result SoakRun::Run(const Options& options)
{
    Result result;
    HostedPlugin a;
    HostedPlugin b;
    if (!a.Valid() || !b.Valid()) {
        result.error = "the bundle gave no instance";
        return result;
    }
    HostedPlugin::Setup setup;
    setup.sampleSize = options.sampleSize;
    setup.maxBlock = options.maxBlock;
    setup.sampleRate = options.sampleRate;
    setup.sidechain = true;
    if (!a.Prepare(setup) || !b.Prepare(setup)) {
        result.error = "processing setup refused";
        return result;
    }

    std::mt19937 rng(options.seed);
    bool hostBypass = false;
    bool sidechain = true;
    {
        ParameterChanges first;
        RandomSettings::AddAll(first, rng, false);
        a.Apply(first);
        b.Apply(first);
    }

    const int64_t total = static_cast<int64_t>(options.audioSeconds * options.sampleRate);
    const int64_t rssStep = std::max<int64_t>(1, static_cast<int64_t>(options.rssEverySeconds * options.sampleRate));
    int64_t nextRss = 0;
    uint32_t audioSeed = options.seed * 7919u + 1u;
    std::uniform_int_distribution<int> blockSize(1, options.maxBlock);

    while (result.frames < total) {
        if (result.frames >= nextRss) {
            result.rssKb.push_back(ResidentKb());
            nextRss += rssStep;
        }
        const double seconds = 0.05 + RandomSettings::Uniform(rng) * (kMaxStretchSeconds - 0.05);
        const size_t frames = static_cast<size_t>(
            std::min<int64_t>(total - result.frames, static_cast<int64_t>(seconds * options.sampleRate)));
        // Loud and quiet stretches, so the detector works over its range.
        const double peak = 0.05 + RandomSettings::Uniform(rng) * 1.2;
        const StereoSignal in = StereoSignal::Music(frames, options.sampleRate, peak, ++audioSeed);
        const StereoSignal sc = StereoSignal::Music(frames, options.sampleRate, 1.0 - peak * 0.5, ++audioSeed);
        StereoSignal outA(frames);
        StereoSignal outB(frames);

        const bool automated = options.automation && rng() % 2 == 0;
        if (automated) {
            size_t pos = 0;
            while (pos < frames) {
                const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(blockSize(rng)), frames - pos));
                if (rng() % 200 == 0) {
                    sidechain = !sidechain;
                    a.SetSidechainActive(sidechain);
                    b.SetSidechainActive(sidechain);
                    ++result.sidechainSwitches;
                }
                ParameterChanges changes;
                const bool wasBypassed = hostBypass;
                RandomSettings::AddSome(changes, rng, 0.02, &hostBypass);
                result.bypassSwitches += wasBypassed != hostBypass ? 1 : 0;
                a.ProcessBlock(in, &sc, pos, n, outA, &changes);
                b.ProcessBlock(in, &sc, pos, n, outB, &changes);
                pos += static_cast<size_t>(n);
                ++result.blocksA;
                ++result.blocksB;
                ++result.automatedBlocks;
            }
        } else {
            // No change at all: each instance cuts the stretch its own way.
            for (HostedPlugin* p : {&a, &b}) {
                StereoSignal& out = p == &a ? outA : outB;
                size_t pos = 0;
                while (pos < frames) {
                    const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(blockSize(rng)), frames - pos));
                    p->ProcessBlock(in, &sc, pos, n, out);
                    pos += static_cast<size_t>(n);
                    ++(p == &a ? result.blocksA : result.blocksB);
                }
            }
            result.stillFrames += static_cast<int64_t>(frames);
        }
        Compare(outA, outB, result.frames, result);
        result.frames += static_cast<int64_t>(frames);
    }
    result.rssKb.push_back(ResidentKb());
    result.guardFault = a.GuardFault() || b.GuardFault();
    return result;
}
