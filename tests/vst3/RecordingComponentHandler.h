#pragma once

#include "host/ComponentHandler.h"

#include <string>
#include <vector>

// The host's component handler: records every call the plug-in makes on it.
// Held by the test: counted, never deleted by a release.
class RecordingComponentHandler : public vsthost::ComponentHandler {
public:
    struct Call {
        std::string what;   // "begin", "perform", "end" or "restart"
        Steinberg::Vst::ParamID id;
        Steinberg::Vst::ParamValue value;   // performEdit's value, restartComponent's flags
    };

    const std::vector<Call>& Calls() const { return calls; }
    void Clear() { calls.clear(); }
    Steinberg::uint32 RefCount() const { return refCount(); }

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refs_; }

private:
    std::vector<Call> calls;
};
