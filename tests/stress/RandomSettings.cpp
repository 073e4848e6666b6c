#include "RandomSettings.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void RandomSettings::AddAll(ParameterChanges& changes, std::mt19937& rng, bool hostBypass)
{
    for (ParamID id = 0; id < static_cast<ParamID>(kParamCount); ++id)
        changes.Add(id, Uniform(rng));
    changes.Add(kBypassId, hostBypass ? 1.0 : 0.0);
}

void RandomSettings::AddSome(ParameterChanges& changes, std::mt19937& rng, double bypassFlipChance, bool* hostBypass)
{
    const int count = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < count; ++k) {
        ParamValueQueue& queue = changes.Add(static_cast<ParamID>(rng() % kParamCount));
        const int points = 1 + static_cast<int>(rng() % 3);
        for (int p = 0; p < points; ++p)
            queue.Add(p * 16, Uniform(rng));
    }
    if (hostBypass && Uniform(rng) < bypassFlipChance) {
        *hostBypass = !*hostBypass;
        changes.Add(kBypassId, *hostBypass ? 1.0 : 0.0);
    }
}
