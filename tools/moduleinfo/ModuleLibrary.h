#pragma once

#include "host/PluginModule.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <string>
#include <vector>

// A VST 3 bundle's module opened as a host of this platform opens it (the
// host library's module), for its factory. Closed again, in reverse, by the
// destructor.
class ModuleLibrary {
public:
    bool open(const std::string& bundlePath, std::string& error);
    // GetPluginFactory's answer; the caller owns the reference.
    Steinberg::IPluginFactory* factory(std::string& error) const;

    // The names of the files in a folder (none when it does not exist).
    static std::vector<std::string> filesIn(const std::string& folder);
    // "Tidepull" for ".../Tidepull.vst3".
    static std::string moduleName(const std::string& bundlePath);

private:
    vsthost::PluginModule module_;
};
