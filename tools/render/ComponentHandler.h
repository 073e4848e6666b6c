#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <atomic>

// The host's end of the edit controller: an offline render has no automation
// to write, so edits are only counted.
class ComponentHandler : public Steinberg::Vst::IComponentHandler
{
public:
    ComponentHandler();
    virtual ~ComponentHandler() = default;

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

    int editCount() const { return edits_.load(); }
    Steinberg::int32 restartFlags() const { return restartFlags_.load(); }

    DECLARE_FUNKNOWN_METHODS

private:
    std::atomic<int> edits_{0};
    std::atomic<Steinberg::int32> restartFlags_{0};
};
