#pragma once

#include "ComponentHandler.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "PluginModule.h"

#include "pluginterfaces/base/smartpointer.h"

#include <cstdint>
#include <string>
#include <vector>

// The built bundle loaded once, and fresh instances of its effect made on
// request, for tests that look at the plug-in's state as a host stores it.
class PresetTestHost {
public:
    static constexpr size_t kParameterCount = 9;

    // Empty when the bundle loaded, else why not.
    static const std::string& loadError();
    static PluginModule& module();
    static const PluginModule::EffectClass& effect();

    // A new, initialised instance; false with the reason otherwise.
    bool create(std::string& error);
    PluginInstance& instance() { return instance_; }
    std::vector<uint8_t> state();

    // The plain values of a state blob: one little-endian double per
    // parameter, in ID order, then the 32-bit bypass word.
    static std::vector<double> valuesOf(const std::vector<uint8_t>& blob);
    static uint32_t bypassWordOf(const std::vector<uint8_t>& blob);

    // The component state chunk of a .vstpreset file, cut out with the SDK's
    // PresetFile (empty when there is none), and the class ID text it carries.
    static std::vector<uint8_t> componentChunkOf(const std::string& path, std::string* classId = nullptr);
    static std::vector<uint8_t> fileBytes(const std::string& path);

private:
    Steinberg::IPtr<HostContext> context_;
    Steinberg::IPtr<ComponentHandler> handler_;
    PluginInstance instance_;
};
