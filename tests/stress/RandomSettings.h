#pragma once

#include "ParameterChanges.h"

#include <random>

// Random parameter changes for a block, the way automation lanes deliver
// them: any of the plug's nine parameters, sometimes the host's bypass.
class RandomSettings {
public:
    static constexpr int kParamCount = 9;
    static constexpr Steinberg::Vst::ParamID kBypassId = 0x62706173;   // 'bpas'

    // Every parameter at a random value; the host bypass too when asked.
    static void AddAll(ParameterChanges& changes, std::mt19937& rng, bool hostBypass);
    // One to four parameters, sometimes with several points per queue; the
    // host bypass flips with the given probability.
    static void AddSome(ParameterChanges& changes, std::mt19937& rng, double bypassFlipChance, bool* hostBypass);
    static double Uniform(std::mt19937& rng) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }
};
