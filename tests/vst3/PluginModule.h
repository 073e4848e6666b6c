#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

// A plug-in library opened the way a Linux host opens it: dlopen, then
// ModuleEntry; ModuleExit and dlclose when it goes away.
class PluginModule {
public:
    explicit PluginModule(const std::string& path);
    ~PluginModule();

    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // The bundle built with these tests, loaded once per process.
    static PluginModule& Shared();

    bool Loaded() const { return handle != nullptr; }
    bool Entered() const { return entered; }
    const std::string& Error() const { return error; }
    void* Symbol(const char* name) const;

    // What GetPluginFactory returns; the caller owns the one reference.
    Steinberg::IPluginFactory* GetFactory() const;

private:
    void* handle = nullptr;
    bool entered = false;
    std::string error;
};
