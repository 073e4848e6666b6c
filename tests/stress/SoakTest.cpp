// Ten minutes of 44.1 kHz audio (TIDEPULL_SOAK_SECONDS to change it),
// processed as fast as the machine allows.
#include "SoakRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace Steinberg::Vst;

TEST(Soak, MinutesOfAutomationBlockSizesSidechainAndBypassStayFiniteDeterministicAndFlat)
{
    const char* text = std::getenv("TIDEPULL_SOAK_SECONDS");
    SoakRun::Options o;
    o.audioSeconds = text && std::atof(text) > 0.0 ? std::atof(text) : 600.0;
    o.maxBlock = 4096;
    o.sampleRate = 44100.0;
    o.seed = 2024;

    const auto start = std::chrono::steady_clock::now();
    const SoakRun::Result r = SoakRun::Run(o);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.nonFinite, 0);
    EXPECT_EQ(r.mismatches, 0) << "first at sample " << r.firstMismatch;
    EXPECT_FALSE(r.guardFault);
    EXPECT_GT(r.sidechainSwitches, 0);
    EXPECT_GT(r.bypassSwitches, 0);

    // Memory: after the first samples (caches, the allocator's first pools)
    // the resident size stays where it is.
    ASSERT_GE(r.rssKb.size(), 3u);
    const long settled = r.rssKb[std::min<size_t>(2, r.rssKb.size() - 1)];
    long highest = 0;
    for (size_t i = 2; i < r.rssKb.size(); ++i)
        highest = std::max(highest, r.rssKb[i]);
    EXPECT_LT(highest - settled, 4096) << "resident memory grew by " << (highest - settled) << " kB";

    std::printf("%.0f s of audio in %.1f s (%.1fx real time): %lld + %lld blocks, %lld automated, "
                "%lld still frames, %lld sidechain and %lld bypass switches\n",
                o.audioSeconds, wall, o.audioSeconds / wall, static_cast<long long>(r.blocksA),
                static_cast<long long>(r.blocksB), static_cast<long long>(r.automatedBlocks),
                static_cast<long long>(r.stillFrames), static_cast<long long>(r.sidechainSwitches),
                static_cast<long long>(r.bypassSwitches));
    std::printf("resident kB:");
    for (long kb : r.rssKb)
        std::printf(" %ld", kb);
    std::printf("\n");
}
