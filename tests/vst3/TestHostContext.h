#pragma once

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <atomic>
#include <string>

// The context a host passes to initialize: offers IHostApplication with a
// chosen name, or nothing at all. Counts what the plug-in asks of it.
class TestHostContext : public Steinberg::Vst::IHostApplication {
public:
    explicit TestHostContext(std::string name = "Tidepull Test Host", bool offersApplication = true)
        : hostName(std::move(name)), offersApplication(offersApplication)
    {
    }
    virtual ~TestHostContext() = default;

    Steinberg::uint32 RefCount() const { return refCount; }
    int NameQueries() const { return nameQueries; }

    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refCount; }

private:
    std::string hostName;
    bool offersApplication;
    int nameQueries = 0;
    std::atomic<Steinberg::uint32> refCount{1};
};
