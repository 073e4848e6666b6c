#include "dsp/SaturateProbe.h"

#include "common/MusicLike.h"
#include "common/ThreadClock.h"
#include "dsp/saturate.h"

#include <benchmark/benchmark.h>

SaturateProbe::SaturateProbe() : args(4096)
{
    MusicLike gen;
    for (double& a : args)
        a = gen.Next();
}

double SaturateProbe::Run(int n)
{
    const double start = ThreadClock::Seconds();
    // Calls are independent of each other, as the chain's are.
    for (int k = 0; k < n; ++k) {
        benchmark::DoNotOptimize(saturate(args[next]));
        next = (next + 1) % args.size();
    }
    const double s = ThreadClock::Seconds() - start;
    calls += n;
    seconds += s;
    return s;
}
