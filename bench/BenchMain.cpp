// One binary for every figure: the unit benchmarks register first, so that
// the ratios printed by later ones come from the same run.
#include "dsp/SaturateBench.h"
#include "plug/ProcessBlockBench.h"
#ifdef TIDEPULL_BENCH_PEERS
#include "peers/PeerBench.h"
#endif

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    RegisterSaturateBenchmarks();
    RegisterProcessBlockBenchmarks();
#ifdef TIDEPULL_BENCH_PEERS
    RegisterPeerBenchmarks();
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
