#pragma once

#include "ParamValueQueue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <vector>

// The parameter changes of one block: one queue per changed parameter. All
// queues are allocated up front so the plug-in may add output changes on the
// audio thread without the host allocating.
class ParameterChanges : public Steinberg::Vst::IParameterChanges
{
public:
    ParameterChanges(int maxQueues, int pointsPerQueue);
    virtual ~ParameterChanges() = default;

    void clear();
    // Host side: one point for `id`; false when out of room.
    bool add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);

    Steinberg::int32 PLUGIN_API getParameterCount() override;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
    // Returns the existing queue for `id` when there is one.
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                 Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    std::vector<std::unique_ptr<ParamValueQueue>> queues_;
    size_t used_ = 0;
};
