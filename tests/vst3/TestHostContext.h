#pragma once

#include "host/HostContext.h"

#include <string>

// The context a host passes to initialize: offers IHostApplication with a
// chosen name, or nothing at all. Counts what the plug-in asks of it. Held by
// the test: counted, never deleted by a release.
class TestHostContext : public vsthost::HostContext {
public:
    explicit TestHostContext(const std::string& name = "Tidepull Test Host", bool offersApplication = true)
        : vsthost::HostContext(name, offersApplication)
    {
    }

    Steinberg::uint32 RefCount() const { return refCount(); }
    int NameQueries() const { return nameQueries(); }

    Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return --refs_; }
};
