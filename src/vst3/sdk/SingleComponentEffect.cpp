#include "vst3/sdk/SingleComponentEffect.h"

namespace Steinberg {
namespace Vst {

namespace {

Bus* busAt(BusList* list, int32 index)
{
    if (list == nullptr || index < 0 || static_cast<size_t>(index) >= list->size())
        return nullptr;
    return list->at(static_cast<size_t>(index)).get();
}

}   // namespace

SingleComponentEffect::SingleComponentEffect()
    : audioInputs(kAudio, kInput),
      audioOutputs(kAudio, kOutput),
      eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput)
{
    processSetup.processMode = kRealtime;
    processSetup.symbolicSampleSize = kSample32;
    processSetup.maxSamplesPerBlock = 1024;
    processSetup.sampleRate = 44100.0;
}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context)
{
    return EditControllerEx1::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate()
{
    parameters.removeAll();
    removeAllBusses();
    return EditControllerEx1::terminate();
}

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj)
{
    // The host must not try to connect the two halves of one object.
    if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid)) {
        *obj = nullptr;
        return kNoInterface;
    }
    DEF_INTERFACE(IComponent)
    DEF_INTERFACE(IAudioProcessor)
    return EditControllerEx1::queryInterface(iid, obj);
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir)
{
    if (type == kAudio)
        return dir == kInput ? &audioInputs : &audioOutputs;
    if (type == kEvent)
        return dir == kInput ? &eventInputs : &eventOutputs;
    return nullptr;
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir)
{
    BusList* list = getBusList(type, dir);
    return list != nullptr ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info)
{
    Bus* bus = busAt(getBusList(type, dir), index);
    if (bus == nullptr)
        return kInvalidArgument;
    info.mediaType = type;
    info.direction = dir;
    return bus->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
    Bus* bus = busAt(getBusList(type, dir), index);
    if (bus == nullptr)
        return kInvalidArgument;
    bus->setActive(state);
    return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns < 0 || numOuts < 0)
        return kInvalidArgument;
    if ((numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
        return kInvalidArgument;
    if (static_cast<size_t>(numIns) != audioInputs.size() || static_cast<size_t>(numOuts) != audioOutputs.size())
        return kResultFalse;

    // Fixed layout: accept only what the buses already have.
    for (int32 i = 0; i < numIns; ++i) {
        AudioBus* bus = getAudioInput(i);
        if (bus == nullptr || bus->getArrangement() != inputs[i])
            return kResultFalse;
    }
    for (int32 i = 0; i < numOuts; ++i) {
        AudioBus* bus = getAudioOutput(i);
        if (bus == nullptr || bus->getArrangement() != outputs[i])
            return kResultFalse;
    }
    return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
    BusList* list = getBusList(kAudio, dir);
    Bus* bus = busAt(list, index);
    if (bus == nullptr)
        return kInvalidArgument;
    AudioBus* audioBus = FCast<AudioBus>(bus);
    if (audioBus == nullptr)
        return kResultFalse;
    arr = audioBus->getArrangement();
    return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup)
{
    if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
        return kResultFalse;
    processSetup.processMode = setup.processMode;
    processSetup.symbolicSampleSize = setup.symbolicSampleSize;
    processSetup.maxSamplesPerBlock = setup.maxSamplesPerBlock;
    processSetup.sampleRate = setup.sampleRate;
    return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= parameters.getParameterCount())
        return kResultFalse;
    return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API SingleComponentEffect::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex < 0 || static_cast<size_t>(unitIndex) >= units.size())
        return kResultFalse;
    return EditControllerEx1::getUnitInfo(unitIndex, info);
}

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
    auto* bus = new AudioBus(name, busType, flags, arr);
    audioInputs.emplace_back(bus, false);
    ++busGeneration;
    return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
    auto* bus = new AudioBus(name, busType, flags, arr);
    audioOutputs.emplace_back(bus, false);
    ++busGeneration;
    return bus;
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType, int32 flags)
{
    auto* bus = new EventBus(name, busType, flags, channels);
    eventInputs.emplace_back(bus, false);
    ++busGeneration;
    return bus;
}

EventBus* SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, BusType busType, int32 flags)
{
    auto* bus = new EventBus(name, busType, flags, channels);
    eventOutputs.emplace_back(bus, false);
    ++busGeneration;
    return bus;
}

tresult SingleComponentEffect::removeAudioBusses()
{
    removeAudioInputs();
    return removeAudioOutputs();
}

tresult SingleComponentEffect::removeAudioInputs()
{
    audioInputs.clear();
    ++busGeneration;
    return kResultOk;
}

tresult SingleComponentEffect::removeAudioOutputs()
{
    audioOutputs.clear();
    ++busGeneration;
    return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses()
{
    eventInputs.clear();
    eventOutputs.clear();
    ++busGeneration;
    return kResultOk;
}

tresult SingleComponentEffect::removeAllBusses()
{
    removeAudioBusses();
    removeEventBusses();
    return kResultOk;
}

AudioBus* SingleComponentEffect::getAudioInput(int32 index)
{
    return FCast<AudioBus>(busAt(&audioInputs, index));
}

AudioBus* SingleComponentEffect::getAudioOutput(int32 index)
{
    return FCast<AudioBus>(busAt(&audioOutputs, index));
}

EventBus* SingleComponentEffect::getEventInput(int32 index)
{
    return FCast<EventBus>(busAt(&eventInputs, index));
}

EventBus* SingleComponentEffect::getEventOutput(int32 index)
{
    return FCast<EventBus>(busAt(&eventOutputs, index));
}

}   // namespace Vst
}   // namespace Steinberg
