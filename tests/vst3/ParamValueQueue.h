#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <atomic>
#include <utility>
#include <vector>

// One parameter's automation points for one block, as a host hands them over.
// Owned by the test; the reference count is only watched, never deletes.
class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
public:
    explicit ParamValueQueue(Steinberg::Vst::ParamID id) : paramId(id) {}
    virtual ~ParamValueQueue() = default;

    void Add(Steinberg::int32 offset, Steinberg::Vst::ParamValue value) { points.emplace_back(offset, value); }
    // Every getPoint fails, as with a broken host queue.
    void SetUnreadable(bool on) { unreadable = on; }

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return paramId; }
    Steinberg::int32 PLUGIN_API getPointCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                           Steinberg::int32& index) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    Steinberg::Vst::ParamID paramId;
    std::vector<std::pair<Steinberg::int32, Steinberg::Vst::ParamValue>> points;
    bool unreadable = false;
    std::atomic<Steinberg::uint32> refCount{1};
};
