#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

// A VST 3 bundle loaded as Linux hosts load it: dlopen, ModuleEntry,
// GetPluginFactory; undone in reverse by unload() or the destructor.
class PluginModule
{
public:
    struct EffectClass
    {
        Steinberg::TUID cid{};
        std::string name;
        std::string vendor;
        std::string version;
        std::string subCategories;
    };

    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // BUNDLE/Contents/<machine>-linux/<NAME>.so for BUNDLE = .../NAME.vst3.
    static bool libraryInBundle(const std::string& bundlePath, std::string& libraryPath, std::string& error);
    // Tidepull.vst3 next to this program, in the build tree, then in the usual VST 3 folders;
    // the build tree's when none exists.
    static std::string defaultBundle();

    bool load(const std::string& bundlePath, std::string& error);
    void unload();

    // The first class of category "Audio Module Class".
    bool findAudioEffect(EffectClass& effect, std::string& error) const;

    Steinberg::IPluginFactory* factory() const { return factory_; }
    const std::string& factoryVendor() const { return vendor_; }
    const std::string& bundlePath() const { return bundlePath_; }
    const std::string& libraryPath() const { return libraryPath_; }

private:
    void* handle_ = nullptr;
    bool entered_ = false;
    Steinberg::IPluginFactory* factory_ = nullptr;
    std::string vendor_;
    std::string bundlePath_;
    std::string libraryPath_;
};
