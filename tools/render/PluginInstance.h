#pragma once

#include "PluginModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <string>
#include <vector>

namespace vsthost {
class ByteStream;
class ComponentHandler;
class HostContext;
}   // namespace vsthost

// The render tool's host objects are the shared host library's.
using vsthost::ByteStream;
using vsthost::ComponentHandler;
using vsthost::HostContext;
using vsthost::PluginModule;

// One effect instance and its edit controller, driven through the calls a DAW
// makes, in a DAW's order. The destructor undoes whatever was done: stops
// processing, deactivates, disconnects, terminates and releases.
class PluginInstance {
public:
    struct Bus {
        Steinberg::int32 channels = 0;
        Steinberg::Vst::BusType type = Steinberg::Vst::kMain;
    };

    PluginInstance() = default;
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // createInstance, initialize, the controller (the component itself or a
    // separate class, connected and synchronised), setComponentHandler.
    bool create(const PluginModule& module, const PluginModule::EffectClass& effect, HostContext* context,
                ComponentHandler* handler, std::string& error);
    // The same for a plug-in object made in this process; the instance takes
    // over the caller's reference. Its controller must be the object itself.
    bool adopt(Steinberg::Vst::IComponent* component, HostContext* context, ComponentHandler* handler,
               std::string& error);

    // Stereo for every audio bus; activates the main buses and, when asked, the first auxiliary input.
    bool arrangeBuses(bool useSidechain, std::string& error);
    bool setupProcessing(double sampleRate, int maxBlock, int precision, std::string& error);
    bool activate(std::string& error);
    bool startProcessing(std::string& error);
    void stopProcessing();
    void deactivate();

    // The state travels through the edit controller of a single-component
    // effect, through the component when the controller is separate.
    bool loadState(ByteStream& stream, std::string& error);
    bool saveState(ByteStream& stream, std::string& error);

    Steinberg::Vst::IComponent* component() const { return component_; }
    Steinberg::Vst::IAudioProcessor* processor() const { return processor_; }
    Steinberg::Vst::IEditController* controller() const { return controller_; }
    bool hasSeparateController() const { return separateController_; }

    const std::vector<Bus>& inputBuses() const { return inputs_; }
    const std::vector<Bus>& outputBuses() const { return outputs_; }
    int sidechainBus() const { return sidechainBus_; }

private:
    // initialize, the controller and the handler for component_.
    bool setUp(const PluginModule* module, HostContext* context, ComponentHandler* handler, std::string& error);
    bool createSeparateController(const PluginModule& module, const Steinberg::TUID cid, HostContext* context,
                                  std::string& error);
    bool readBuses(Steinberg::Vst::BusDirection direction, std::vector<Bus>& buses, std::string& error);
    void release();

    Steinberg::Vst::IComponent* component_ = nullptr;
    Steinberg::Vst::IAudioProcessor* processor_ = nullptr;
    Steinberg::Vst::IEditController* controller_ = nullptr;
    Steinberg::Vst::IConnectionPoint* componentPoint_ = nullptr;
    Steinberg::Vst::IConnectionPoint* controllerPoint_ = nullptr;
    bool separateController_ = false;
    bool componentInitialized_ = false;
    bool controllerInitialized_ = false;
    bool handlerSet_ = false;
    bool active_ = false;
    bool processing_ = false;
    std::vector<Bus> inputs_;
    std::vector<Bus> outputs_;
    int sidechainBus_ = -1;
};
