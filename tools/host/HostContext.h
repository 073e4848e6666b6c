#pragma once

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <atomic>
#include <string>

namespace vsthost
{

// The context handed to IPluginBase::initialize: tells the plug-in who hosts
// it, or, built without the application, offers nothing but FUnknown.
class HostContext : public Steinberg::Vst::IHostApplication
{
public:
    explicit HostContext(const std::string& name, bool offersApplication = true);
    virtual ~HostContext() = default;

    Steinberg::uint32 refCount() const { return refs_; }
    int nameQueries() const { return nameQueries_; }

    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
    // This host offers no message or attribute objects.
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                                 void** obj) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return ++refs_; }
    Steinberg::uint32 PLUGIN_API release() override;

protected:
    std::atomic<Steinberg::uint32> refs_{1};

private:
    std::string name_;
    bool offersApplication_;
    std::atomic<int> nameQueries_{0};
};

}  // namespace vsthost
