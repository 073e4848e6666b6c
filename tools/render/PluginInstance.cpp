#include "PluginInstance.h"

#include "ByteStream.h"
#include "ComponentHandler.h"
#include "HostContext.h"
#include "VstText.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cstdio>
#include <cstring>

using vsthost::VstText;

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
bool succeeded(tresult result)
{
    return result == kResultOk;
}

std::string refused(const std::string& call, tresult result)
{
    return "the plug-in refused " + call + " (" + VstText::resultName(result) + ")";
}

template <typename Interface>
Interface* query(FUnknown* object)
{
    void* obj = nullptr;
    if (object && object->queryInterface(Interface::iid, &obj) == kResultOk && obj)
        return static_cast<Interface*>(obj);
    return nullptr;
}
}   // namespace

PluginInstance::~PluginInstance()
{
    release();
}

bool PluginInstance::create(const PluginModule& module, const PluginModule::EffectClass& effect, HostContext* context,
                            ComponentHandler* handler, std::string& error)
{
    release();
    void* obj = nullptr;
    const tresult created = module.factory()->createInstance(effect.cid, IComponent::iid, &obj);
    if (created != kResultOk || !obj) {
        error = "the plug-in's factory could not create \"" + effect.name + "\" (" + VstText::resultName(created) + ")";
        return false;
    }
    component_ = static_cast<IComponent*>(obj);
    return setUp(&module, context, handler, error);
}

bool PluginInstance::adopt(IComponent* component, HostContext* context, ComponentHandler* handler, std::string& error)
{
    release();
    if (!component) {
        error = "no plug-in object to drive";
        return false;
    }
    component_ = component;
    return setUp(nullptr, context, handler, error);
}

bool PluginInstance::setUp(const PluginModule* module, HostContext* context, ComponentHandler* handler,
                           std::string& error)
{
    const tresult initialized = component_->initialize(context);
    if (!succeeded(initialized)) {
        error = refused("initialize", initialized);
        return false;
    }
    componentInitialized_ = true;

    processor_ = query<IAudioProcessor>(component_);
    if (!processor_) {
        error = "the plug-in's component offers no IAudioProcessor";
        return false;
    }

    TUID controllerCid;
    std::memset(controllerCid, 0, sizeof controllerCid);
    static const TUID none = {};
    if (component_->getControllerClassId(controllerCid) == kResultOk &&
        std::memcmp(controllerCid, none, sizeof(TUID)) != 0) {
        if (!module) {
            error = "the plug-in's edit controller is a class of its own, which only its module can create";
            return false;
        }
        if (!createSeparateController(*module, controllerCid, context, error))
            return false;
    } else {
        controller_ = query<IEditController>(component_);
        if (!controller_) {
            error = "the plug-in has no edit controller: getControllerClassId names none and the "
                    "component offers no IEditController";
            return false;
        }
    }

    const tresult handled = controller_->setComponentHandler(handler);
    if (!succeeded(handled)) {
        error = refused("setComponentHandler", handled);
        return false;
    }
    handlerSet_ = true;
    return true;
}

bool PluginInstance::createSeparateController(const PluginModule& module, const TUID cid, HostContext* context,
                                              std::string& error)
{
    separateController_ = true;
    void* obj = nullptr;
    const tresult created = module.factory()->createInstance(cid, IEditController::iid, &obj);
    if (created != kResultOk || !obj) {
        error = "the plug-in's factory could not create its edit controller (" + VstText::resultName(created) + ")";
        return false;
    }
    controller_ = static_cast<IEditController*>(obj);
    const tresult initialized = controller_->initialize(context);
    if (!succeeded(initialized)) {
        error = refused("initialize of its edit controller", initialized);
        return false;
    }
    controllerInitialized_ = true;

    componentPoint_ = query<IConnectionPoint>(component_);
    controllerPoint_ = query<IConnectionPoint>(controller_);
    if (componentPoint_ && controllerPoint_) {
        componentPoint_->connect(controllerPoint_);
        controllerPoint_->connect(componentPoint_);
    }

    // The controller learns the component's current state, as after loading a project.
    ByteStream* stream = new ByteStream;
    if (component_->getState(stream) == kResultOk) {
        stream->rewind();
        controller_->setComponentState(stream);
    }
    stream->release();
    return true;
}

bool PluginInstance::readBuses(BusDirection direction, std::vector<Bus>& buses, std::string& error)
{
    buses.clear();
    const int32 count = component_->getBusCount(kAudio, direction);
    for (int32 i = 0; i < count; ++i) {
        BusInfo info{};
        const tresult result = component_->getBusInfo(kAudio, direction, i, info);
        if (!succeeded(result)) {
            error = refused(std::string("getBusInfo for audio ") + (direction == kInput ? "input" : "output") +
                                " bus " + std::to_string(i),
                            result);
            return false;
        }
        Bus bus;
        bus.channels = info.channelCount;
        bus.type = info.busType;
        buses.push_back(bus);
    }
    return true;
}

bool PluginInstance::arrangeBuses(bool useSidechain, std::string& error)
{
    if (!readBuses(kInput, inputs_, error) || !readBuses(kOutput, outputs_, error))
        return false;
    if (inputs_.empty() || outputs_.empty()) {
        error = "the plug-in has no audio " + std::string(inputs_.empty() ? "input" : "output") + " bus";
        return false;
    }

    std::vector<SpeakerArrangement> ins(inputs_.size(), SpeakerArr::kStereo);
    std::vector<SpeakerArrangement> outs(outputs_.size(), SpeakerArr::kStereo);
    const tresult arranged = processor_->setBusArrangements(ins.data(), static_cast<int32>(ins.size()), outs.data(),
                                                            static_cast<int32>(outs.size()));
    if (!succeeded(arranged)) {
        error = refused("setBusArrangements with " + std::to_string(ins.size()) + " stereo inputs and " +
                            std::to_string(outs.size()) + " stereo outputs",
                        arranged);
        return false;
    }
    // The plug-in may have rebuilt its buses.
    if (!readBuses(kInput, inputs_, error) || !readBuses(kOutput, outputs_, error))
        return false;

    sidechainBus_ = -1;
    for (size_t i = 1; i < inputs_.size() && sidechainBus_ < 0; ++i)
        if (inputs_[i].type == kAux)
            sidechainBus_ = static_cast<int>(i);
    if (useSidechain && sidechainBus_ < 0) {
        error = "the plug-in has no sidechain (auxiliary) input bus";
        return false;
    }

    struct Activation {
        BusDirection direction;
        int32 index;
        const char* what;
    };
    std::vector<Activation> wanted = {{kInput, 0, "the main input bus"}, {kOutput, 0, "the main output bus"}};
    if (useSidechain)
        wanted.push_back({kInput, sidechainBus_, "the sidechain bus"});
    for (const Activation& a : wanted) {
        const tresult result = component_->activateBus(kAudio, a.direction, a.index, true);
        if (!succeeded(result)) {
            error = refused(std::string("activateBus for ") + a.what, result);
            return false;
        }
    }
    return true;
}

bool PluginInstance::setupProcessing(double sampleRate, int maxBlock, int precision, std::string& error)
{
    const int32 size = precision == 64 ? kSample64 : kSample32;
    if (processor_->canProcessSampleSize(size) != kResultOk) {
        error = "the plug-in cannot process " + std::to_string(precision) + "-bit samples";
        return false;
    }
    ProcessSetup setup{};
    setup.processMode = kOffline;
    setup.symbolicSampleSize = size;
    setup.maxSamplesPerBlock = maxBlock;
    setup.sampleRate = sampleRate;
    const tresult result = processor_->setupProcessing(setup);
    if (!succeeded(result)) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%g Hz", sampleRate);
        error = std::string("the plug-in refused to run at ") + rate + " in blocks of up to " +
            std::to_string(maxBlock) + " samples (setupProcessing: " + VstText::resultName(result) + ")";
        return false;
    }
    return true;
}

bool PluginInstance::activate(std::string& error)
{
    const tresult result = component_->setActive(true);
    if (!succeeded(result)) {
        error = refused("setActive(true)", result);
        return false;
    }
    active_ = true;
    return true;
}

bool PluginInstance::startProcessing(std::string& error)
{
    const tresult result = processor_->setProcessing(true);
    if (!succeeded(result) && result != kNotImplemented) {
        error = refused("setProcessing(true)", result);
        return false;
    }
    processing_ = true;
    return true;
}

void PluginInstance::stopProcessing()
{
    if (processing_)
        processor_->setProcessing(false);
    processing_ = false;
}

void PluginInstance::deactivate()
{
    stopProcessing();
    if (active_)
        component_->setActive(false);
    active_ = false;
}

bool PluginInstance::loadState(ByteStream& stream, std::string& error)
{
    stream.rewind();
    const tresult toComponent = component_->setState(&stream);
    if (!succeeded(toComponent) && (separateController_ || toComponent != kNotImplemented)) {
        error = refused("the saved state (IComponent::setState)", toComponent);
        return false;
    }
    stream.rewind();
    if (separateController_) {
        const tresult synced = controller_->setComponentState(&stream);
        if (!succeeded(synced) && synced != kNotImplemented) {
            error = refused("the saved state (setComponentState)", synced);
            return false;
        }
        return true;
    }
    const tresult toController = controller_->setState(&stream);
    if (!succeeded(toController)) {
        error = refused("the saved state (IEditController::setState)", toController);
        return false;
    }
    return true;
}

bool PluginInstance::saveState(ByteStream& stream, std::string& error)
{
    const tresult result = separateController_ ? component_->getState(&stream) : controller_->getState(&stream);
    if (!succeeded(result)) {
        error = refused(separateController_ ? "IComponent::getState" : "IEditController::getState", result);
        return false;
    }
    return true;
}

void PluginInstance::release()
{
    deactivate();
    if (componentPoint_ && controllerPoint_) {
        componentPoint_->disconnect(controllerPoint_);
        controllerPoint_->disconnect(componentPoint_);
    }
    if (componentPoint_)
        componentPoint_->release();
    if (controllerPoint_)
        controllerPoint_->release();
    componentPoint_ = nullptr;
    controllerPoint_ = nullptr;

    if (handlerSet_ && controller_)
        controller_->setComponentHandler(nullptr);
    handlerSet_ = false;
    if (separateController_ && controllerInitialized_)
        controller_->terminate();
    controllerInitialized_ = false;
    if (componentInitialized_)
        component_->terminate();
    componentInitialized_ = false;

    if (controller_)
        controller_->release();
    if (processor_)
        processor_->release();
    if (component_)
        component_->release();
    controller_ = nullptr;
    processor_ = nullptr;
    component_ = nullptr;
    separateController_ = false;
    inputs_.clear();
    outputs_.clear();
    sidechainBus_ = -1;
}
