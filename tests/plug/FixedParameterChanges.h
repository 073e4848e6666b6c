#pragma once

#include "FixedParamQueue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

// The parameter queues of one block, in storage fixed in advance, so that a
// test counting allocations around process sees only the plug-in's.
class FixedParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
    static constexpr int kCapacity = 16;

    virtual ~FixedParameterChanges() = default;

    void Clear() { count = 0; }
    // A queue with one point at offset 0, the way hosts send most changes.
    FixedParamQueue& Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);

    Steinberg::int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return count; }
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) SMTG_OVERRIDE;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                  Steinberg::int32& index) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    FixedParamQueue queues[kCapacity];
    Steinberg::int32 count = 0;
};
