#pragma once

#include "host/PluginModule.h"

#include <string>

// A plug-in library opened the way a host of this platform opens it (the host
// library's module), with the names these tests use.
class PluginModule : public vsthost::PluginModule {
public:
    explicit PluginModule(const std::string& path) : vsthost::PluginModule(path) {}

    // The bundle built with these tests, loaded once per process.
    static PluginModule& Shared();

    bool Loaded() const { return loaded(); }
    bool Entered() const { return entered(); }
    const std::string& Error() const { return error(); }
    void* Symbol(const char* name) const { return symbol(name); }
    // What GetPluginFactory returns; the caller owns the one reference.
    Steinberg::IPluginFactory* GetFactory() const { return createFactory(); }
};
