#pragma once

#include "ParamValueQueue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <atomic>
#include <memory>
#include <vector>

// The list of parameter queues of one block. Owned by the test.
class ParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
    virtual ~ParameterChanges() = default;

    // An empty queue for id, to add points to.
    ParamValueQueue& Add(Steinberg::Vst::ParamID id);
    // A queue with one point at offset 0, the way hosts send most changes.
    ParamValueQueue& Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
    // A slot whose getParameterData answers null.
    void AddNullSlot() { queues.emplace_back(nullptr); }

    Steinberg::int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) SMTG_OVERRIDE;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                  Steinberg::int32& index) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    std::vector<std::unique_ptr<ParamValueQueue>> queues;
    std::atomic<Steinberg::uint32> refCount{1};
};
