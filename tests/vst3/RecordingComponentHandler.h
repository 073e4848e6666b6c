#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <atomic>
#include <string>
#include <vector>

// The host's component handler: records every call the plug-in makes on it.
class RecordingComponentHandler : public Steinberg::Vst::IComponentHandler {
public:
    struct Call {
        std::string what;   // "begin", "perform", "end" or "restart"
        Steinberg::Vst::ParamID id;
        Steinberg::Vst::ParamValue value;   // performEdit's value, restartComponent's flags
    };

    virtual ~RecordingComponentHandler() = default;

    const std::vector<Call>& Calls() const { return calls; }
    void Clear() { calls.clear(); }
    Steinberg::uint32 RefCount() const { return refCount; }

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    std::vector<Call> calls;
    std::atomic<Steinberg::uint32> refCount{1};
};
