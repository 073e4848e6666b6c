#include "MathTable.h"

#include "dsp/portableMath.h"
#include "dsp/saturate.h"
#include "dsp/saturateTable.h"
#include "dsp/stageFilter.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kRandomCount = 4000;

double FromBits(uint64_t u)
{
    double x;
    std::memcpy(&x, &u, sizeof x);
    return x;
}

// Arguments from integer arithmetic only, so both builds make the same ones.
std::vector<double> Arguments()
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> args = {0.0,
                                -0.0,
                                inf,
                                -inf,
                                std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::denorm_min(),
                                0x1p-1022,
                                1e-300,
                                0.5,
                                1.0,
                                -1.0,
                                2.0,
                                0.7853981633974483,
                                1.5707963267948966,
                                19.06,
                                709.78,
                                -745.13,
                                1e22,
                                1e300};
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (size_t i = 0; i < kRandomCount; ++i) {
        const uint64_t r = next();
        // Uniform on [-4, 4), on [-1, 1) and on [-25, 25), then any finite double.
        const double unit = static_cast<double>(r >> 11) * 0x1p-53;
        args.push_back(8.0 * unit - 4.0);
        args.push_back(2.0 * unit - 1.0);
        args.push_back(50.0 * unit - 25.0);
        const uint64_t any = next();
        if (((any >> 52) & 0x7FF) != 0x7FF)
            args.push_back(FromBits(any));
    }
    return args;
}

struct Function {
    const char* name;
    double (*eval)(double);
};

const Function kFunctions[] =
    {
        {"exp", [](double x) { return portableMath::exp(x); }},
        {"log", [](double x) { return portableMath::log(x < 0.0 ? -x : x); }},
        {"pow(10, x)", [](double x) { return portableMath::pow(10.0, x); }},
        {"pow(0.01, x)", [](double x) { return portableMath::pow(0.01, x); }},
        {"pow(|x|, 0.3)", [](double x) { return portableMath::pow(x < 0.0 ? -x : x, 0.3); }},
        {"pow(x, 3)", [](double x) { return portableMath::pow(x, 3.0); }},
        {"tan", [](double x) { return portableMath::tan(x); }},
        {"tanh", [](double x) { return portableMath::tanh(x); }},
        {"atan", [](double x) { return portableMath::atan(x); }},
        {"saturate", [](double x) { return saturate(x); }},
        {"fastExp", [](double x) { return portableMath::fastExp(x); }},
        {"fastLog", [](double x) { return portableMath::fastLog(x < 0.0 ? -x : x); }},
        {"saturateTable", [](double x) { return saturateTable::shared().eval(x); }},
        {"stageFilter tickHeld",
         [](double x) {
    // Held clocks of a filter driven by the argument, from a state the
    // arguments before it left (44.1 kHz): the composed weights and sums.
    static stageFilter filter;
    filter.setRate(88200.0);
    return filter.tickHeld(x < -1e3 || x > 1e3 || x != x ? 0.0 : x);
         }},
};
constexpr size_t kFunctionCount = sizeof kFunctions / sizeof kFunctions[0];

}   // namespace

std::vector<double> MathTable::Results()
{
    const std::vector<double> args = Arguments();
    std::vector<double> results;
    results.reserve(args.size() * kFunctionCount);
    for (const Function& f : kFunctions)
        for (double x : args)
            results.push_back(f.eval(x));
    return results;
}

const char* MathTable::FunctionAt(size_t index)
{
    const size_t n = Arguments().size();
    return index / n < kFunctionCount ? kFunctions[index / n].name : "?";
}

double MathTable::ArgumentAt(size_t index)
{
    const std::vector<double> args = Arguments();
    return args[index % args.size()];
}
