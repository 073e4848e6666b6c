#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

// A plug-in library opened the way a host on this platform opens it. Windows:
// LoadLibraryW, then InitDll; ExitDll and FreeLibrary when it goes away.
// Linux: dlopen, then ModuleEntry; ModuleExit and dlclose.
class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool Loaded() const { return handle != nullptr; }
    bool Entered() const { return entered; }
    const std::string& Error() const { return error; }
    // The HMODULE or the dlopen handle.
    void* Handle() const { return handle; }
    void* Symbol(const char* name) const;

    // What GetPluginFactory returns; the caller owns the one reference.
    Steinberg::IPluginFactory* GetFactory() const;

private:
    void* handle = nullptr;
    bool entered = false;
    std::string error;
};
