#pragma once

#include "FactoryPresets.h"
#include "PluginModule.h"

using vsthost::PluginModule;

#include <string>
#include <vector>

// Writes the factory presets as .vstpreset files: each one is set up in a
// fresh instance of the built plug-in, as a user would set it in a host, and
// saved with the SDK's preset-file code.
class FactoryPresetWriter {
public:
    // `forWindows`: the class ID in the files is spelled as the SDK spells it on
    // Windows, for the Windows packages (the state inside is the same).
    bool run(const std::string& bundlePath, const std::string& folder, bool forWindows, std::string& error);

    // The paths written, in table order.
    const std::vector<std::string>& written() const { return written_; }

private:
    bool writeOne(const FactoryPresets::Preset& preset, const std::string& path, std::string& error);

    // Declared first so that it is unloaded last.
    PluginModule module_;
    PluginModule::EffectClass effect_;
    bool forWindows_ = false;
    std::vector<std::string> written_;
};
