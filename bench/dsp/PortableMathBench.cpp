// The engine's math functions against the C library's, per call, on the
// arguments the chain gives them. Calls are independent, as the chain's are.
#include "dsp/portableMath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr size_t kCount = 1024;

// Fixed pseudo-random arguments on [lo, hi).
std::vector<double> Arguments(double lo, double hi)
{
    std::vector<double> args(kCount);
    uint64_t state = 0x2545F4914F6CDD1Dull;
    for (double& a : args) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        a = lo + (hi - lo) * (static_cast<double>(state >> 11) * 0x1p-53);
    }
    return args;
}

template <typename F>
void Run(benchmark::State& st, const std::vector<double>& args, F f)
{
    for (auto _ : st)
        for (double a : args)
            benchmark::DoNotOptimize(f(a));
    st.counters["ns_per_call"] = benchmark::Counter(static_cast<double>(st.iterations() * kCount),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// saturate's arguments: 0.05 s, s^2, s^3 and s^7 for music-like s.
const std::vector<double>& Signal()
{
    static const std::vector<double> args = Arguments(-1.5, 1.5);
    return args;
}
// computeGain: an envelope between -80 dB and +6 dB, gains of up to -40 dB.
const std::vector<double>& Envelopes()
{
    static const std::vector<double> args = Arguments(1e-4, 2.0);
    return args;
}
const std::vector<double>& GainsDb()
{
    static const std::vector<double> args = Arguments(-40.0 * 0.1151292546497, 0.0);
    return args;
}
// Release times of 300 ms to 25 s at 44100 Hz, the exponent of timeCoef.
const std::vector<double>& CoefExponents()
{
    static const std::vector<double> args = Arguments(1.0 / (25000.0 * 44.1), 1.0 / (300.0 * 44.1));
    return args;
}
const std::vector<double>& Decibels()
{
    static const std::vector<double> args = Arguments(-18.0, 18.0);
    return args;
}
const std::vector<double>& Cutoffs()
{
    static const std::vector<double> args =
        Arguments(3.141592653589793 * 45.0 / 192000.0, 3.141592653589793 * 525.0 / 8000.0);
    return args;
}

void OursTanh(benchmark::State& st)
{
    Run(st, Signal(), [](double s) { return portableMath::tanh(s * s * s); });
}
void LibmTanh(benchmark::State& st)
{
    Run(st, Signal(), [](double s) { return std::tanh(s * s * s); });
}
void OursAtan(benchmark::State& st)
{
    Run(st, Signal(), [](double s) { return portableMath::atan(s * s * s * s * s * s * s); });
}
void LibmAtan(benchmark::State& st)
{
    Run(st, Signal(), [](double s) { return std::atan(s * s * s * s * s * s * s); });
}
void OursExp(benchmark::State& st)
{
    Run(st, GainsDb(), [](double x) { return portableMath::exp(x); });
}
void LibmExp(benchmark::State& st)
{
    Run(st, GainsDb(), [](double x) { return std::exp(x); });
}
void OursLog(benchmark::State& st)
{
    Run(st, Envelopes(), [](double x) { return portableMath::log(x); });
}
void LibmLog(benchmark::State& st)
{
    Run(st, Envelopes(), [](double x) { return std::log(x); });
}
void OursPowCoef(benchmark::State& st)
{
    Run(st, CoefExponents(), [](double y) { return portableMath::pow(0.01, y); });
}
void LibmPowCoef(benchmark::State& st)
{
    Run(st, CoefExponents(), [](double y) { return std::pow(0.01, y); });
}
void OursPowDb(benchmark::State& st)
{
    Run(st, Decibels(), [](double v) { return portableMath::pow(10.0, v / 20.0); });
}
void LibmPowDb(benchmark::State& st)
{
    Run(st, Decibels(), [](double v) { return std::pow(10.0, v / 20.0); });
}
void OursTan(benchmark::State& st)
{
    Run(st, Cutoffs(), [](double x) { return portableMath::tan(x); });
}
void LibmTan(benchmark::State& st)
{
    Run(st, Cutoffs(), [](double x) { return std::tan(x); });
}

}   // namespace

BENCHMARK(OursTanh)->Name("math/tanh/ours");
BENCHMARK(LibmTanh)->Name("math/tanh/libm");
BENCHMARK(OursAtan)->Name("math/atan/ours");
BENCHMARK(LibmAtan)->Name("math/atan/libm");
BENCHMARK(OursExp)->Name("math/exp/ours");
BENCHMARK(LibmExp)->Name("math/exp/libm");
BENCHMARK(OursLog)->Name("math/log/ours");
BENCHMARK(LibmLog)->Name("math/log/libm");
BENCHMARK(OursPowCoef)->Name("math/pow_0.01_y/ours");
BENCHMARK(LibmPowCoef)->Name("math/pow_0.01_y/libm");
BENCHMARK(OursPowDb)->Name("math/pow_10_db/ours");
BENCHMARK(LibmPowDb)->Name("math/pow_10_db/libm");
BENCHMARK(OursTan)->Name("math/tan/ours");
BENCHMARK(LibmTan)->Name("math/tan/libm");
