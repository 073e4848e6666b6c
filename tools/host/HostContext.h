#pragma once

#include "HostObject.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <atomic>
#include <string>

namespace vsthost {

// The context handed to IPluginBase::initialize: tells the plug-in who hosts
// it, or, built without the application, offers nothing but FUnknown.
class HostContext : public HostObject<Steinberg::Vst::IHostApplication> {
public:
    explicit HostContext(const std::string& name, bool offersApplication = true);

    int nameQueries() const { return nameQueries_; }

    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
    // This host offers no message or attribute objects.
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

private:
    std::string name_;
    bool offersApplication_;
    std::atomic<int> nameQueries_{0};
};

}   // namespace vsthost
