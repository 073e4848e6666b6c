#pragma once

#include "vst3/sdk/SingleComponentEffect.h"

// Smallest effect on top of SingleComponentEffect; counts its lives so
// tests can see leaks.
class TinyEffect : public Steinberg::Vst::SingleComponentEffect {
public:
    static inline int constructed = 0;
    static inline int destroyed = 0;
    static int alive() { return constructed - destroyed; }

    TinyEffect() { ++constructed; }
    ~TinyEffect() override { ++destroyed; }

    // Factory create function; the context, when given, counts the calls.
    static Steinberg::FUnknown* create(void* context)
    {
        if (context != nullptr)
            ++*static_cast<int*>(context);
        return static_cast<Steinberg::Vst::IAudioProcessor*>(new TinyEffect);
    }

    using SingleComponentEffect::getBusList;
    const Steinberg::Vst::ProcessSetup& setup() const { return processSetup; }
    Steinberg::Vst::ParameterContainer& params() { return parameters; }

    OBJ_METHODS(TinyEffect, SingleComponentEffect)
};
