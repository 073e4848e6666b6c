#pragma once

#include "HostObject.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <atomic>

namespace vsthost {

// The host's end of the edit controller. Edits are only counted here; hosts
// that record or forward them derive from it.
class ComponentHandler : public HostObject<Steinberg::Vst::IComponentHandler> {
public:
    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

    int editCount() const { return edits_.load(); }
    Steinberg::int32 restartFlags() const { return restartFlags_.load(); }

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

private:
    std::atomic<int> edits_{0};
    std::atomic<Steinberg::int32> restartFlags_{0};
};

}   // namespace vsthost
