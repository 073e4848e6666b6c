#pragma once

#include "host/PluginModule.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

// The built plug-in loaded as a Linux VST 3 host loads it: dlopen, then
// ModuleEntry and GetPluginFactory; unloaded in the reverse order.
class PluginBundle {
public:
    explicit PluginBundle(std::string path);
    ~PluginBundle();
    PluginBundle(const PluginBundle&) = delete;
    PluginBundle& operator=(const PluginBundle&) = delete;

    // dlopen (every symbol bound at once) and ModuleEntry.
    bool Open();
    // GetPluginFactory.
    bool TakeFactory();
    // What a host's plug-in scan reads: the factory information and every
    // class's information in all three forms. False when any query fails.
    bool ReadClassInfos();
    // A new instance of class 0 as its IComponent, or none.
    Steinberg::FUnknown* CreateInstance();
    // Releases the factory, calls ModuleExit and unloads the library.
    void Close();
    // True when the library is no longer mapped after Close.
    bool IsUnloaded() const;

    const std::string& Error() const { return error; }

private:
    std::string path;
    std::string error;
    vsthost::PluginModule module;
    Steinberg::IPluginFactory* factory = nullptr;
    Steinberg::TUID classId = {};
};
