#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

// A host's automation points for one parameter and one block, in storage
// fixed in advance: reading it allocates nothing. The test owns it; the
// reference count is not used.
class FixedParamQueue : public Steinberg::Vst::IParamValueQueue {
public:
    static constexpr int kCapacity = 4;

    virtual ~FixedParamQueue() = default;

    void Reset(Steinberg::Vst::ParamID id);
    void Add(Steinberg::int32 offset, Steinberg::Vst::ParamValue value);

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return paramId; }
    Steinberg::int32 PLUGIN_API getPointCount() SMTG_OVERRIDE { return count; }
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                           Steinberg::int32& index) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    Steinberg::Vst::ParamID paramId = 0;
    Steinberg::int32 count = 0;
    Steinberg::int32 offsets[kCapacity] = {};
    Steinberg::Vst::ParamValue values[kCapacity] = {};
};
