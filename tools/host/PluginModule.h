#pragma once

#include "SharedLibrary.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

namespace vsthost {

// A VST 3 module loaded as hosts of this platform load it: the library
// mapped, its entry function called (ModuleEntry, or InitDll on Windows),
// GetPluginFactory asked; undone in reverse by unload() or the destructor.
class PluginModule {
public:
    struct EffectClass {
        Steinberg::TUID cid{};
        std::string name;
        std::string vendor;
        std::string version;
        std::string subCategories;
    };

    PluginModule() = default;
    // open(libraryPath); see loaded(), entered() and error().
    explicit PluginModule(const std::string& libraryPath);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // BUNDLE/Contents/<machine>-<os>/<NAME>.<so|vst3> for BUNDLE = .../NAME.vst3.
    static bool libraryInBundle(const std::string& bundlePath, std::string& libraryPath, std::string& error);
    // "Tidepull" for ".../Tidepull.vst3/".
    static std::string bundleName(const std::string& bundlePath);

    // Maps the library and enters it. A library whose entry fails stays
    // mapped (loaded() but not entered()) so that it can still be looked at.
    bool open(const std::string& libraryPath, bool bindNow = false);
    // The bundle's library, entered, with its factory taken; nothing stays
    // loaded when any step fails.
    bool load(const std::string& bundlePath, std::string& error);
    void unload();

    bool loaded() const { return library_.isOpen(); }
    bool entered() const { return entered_; }
    const std::string& error() const { return error_; }
    void* symbol(const char* name) const { return library_.symbol(name); }
    // The dlopen handle or the HMODULE.
    void* handle() const { return library_.handle(); }
    // What GetPluginFactory returns; the caller owns the one reference.
    Steinberg::IPluginFactory* createFactory() const;

    // The first class of category "Audio Module Class" of the taken factory.
    bool findAudioEffect(EffectClass& effect, std::string& error) const;

    // The factory load() took, borrowed.
    Steinberg::IPluginFactory* factory() const { return factory_; }
    const std::string& factoryVendor() const { return vendor_; }
    const std::string& bundlePath() const { return bundlePath_; }
    const std::string& libraryPath() const { return libraryPath_; }

private:
    bool enter();

    SharedLibrary library_;
    bool entered_ = false;
    std::string error_;
    Steinberg::IPluginFactory* factory_ = nullptr;
    std::string vendor_;
    std::string bundlePath_;
    std::string libraryPath_;
};

}   // namespace vsthost
