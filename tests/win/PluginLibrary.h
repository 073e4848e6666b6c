#pragma once

#include "host/PluginModule.h"

#include <string>

// A plug-in library opened the way a host on this platform opens it (the host
// library's module). Windows: LoadLibraryW, then InitDll; ExitDll and
// FreeLibrary when it goes away. Linux: dlopen, then ModuleEntry; ModuleExit
// and dlclose.
class PluginLibrary : public vsthost::PluginModule {
public:
    explicit PluginLibrary(const std::string& path) : vsthost::PluginModule(path) {}

    bool Loaded() const { return loaded(); }
    bool Entered() const { return entered(); }
    const std::string& Error() const { return error(); }
    // The HMODULE or the dlopen handle.
    void* Handle() const { return handle(); }
    void* Symbol(const char* name) const { return symbol(name); }

    // What GetPluginFactory returns; the caller owns the one reference.
    Steinberg::IPluginFactory* GetFactory() const { return createFactory(); }
};
