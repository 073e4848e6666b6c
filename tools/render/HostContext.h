#pragma once

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <string>

// The context handed to IPluginBase::initialize: tells the plug-in who hosts it.
class HostContext : public Steinberg::Vst::IHostApplication
{
public:
    explicit HostContext(const std::string& name);
    virtual ~HostContext() = default;

    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
    // This host offers no message or attribute objects.
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                                 void** obj) override;

    DECLARE_FUNKNOWN_METHODS

private:
    std::string name_;
};
