// Cost of one saturate call on the arguments the music scene feeds it.
#include "dsp/SaturateBench.h"

#include "common/BenchFigures.h"
#include "dsp/SaturateProbe.h"

#include <benchmark/benchmark.h>

const char* const kSaturateBenchKey = "saturate_ns_per_call";

namespace {

void RunSaturate(benchmark::State& st)
{
    SaturateProbe probe;
    for (auto _ : st)
        probe.Run(4096);
    st.counters["ns_per_call"] = probe.NanosecondsPerCall();
    BenchFigures::Record(kSaturateBenchKey, probe.NanosecondsPerCall());
}

}   // namespace

void RegisterSaturateBenchmarks()
{
    benchmark::RegisterBenchmark("saturate/one_call", RunSaturate)->Iterations(400);
}
