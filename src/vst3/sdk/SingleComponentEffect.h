#pragma once

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace Steinberg {
namespace Vst {

// Audio component and edit controller in one object, for effects that need
// no separate controller class. IComponent and IEditController share
// initialize/terminate and setState/getState (same signatures), so one
// override serves both sides.
class SingleComponentEffect : public EditControllerEx1, public IAudioProcessor, public IComponent {
public:
    SingleComponentEffect();
    ~SingleComponentEffect() override;

    // IPluginBase
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API terminate() SMTG_OVERRIDE;

    // IComponent
    tresult PLUGIN_API getControllerClassId(TUID /*classID*/) SMTG_OVERRIDE { return kNotImplemented; }
    tresult PLUGIN_API setIoMode(IoMode /*mode*/) SMTG_OVERRIDE { return kNotImplemented; }
    int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/) SMTG_OVERRIDE
    {
        return kNotImplemented;
    }
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setActive(TBool /*state*/) SMTG_OVERRIDE { return kResultOk; }
    tresult PLUGIN_API setState(IBStream* /*state*/) SMTG_OVERRIDE { return kNotImplemented; }
    tresult PLUGIN_API getState(IBStream* /*state*/) SMTG_OVERRIDE { return kNotImplemented; }

    // IAudioProcessor
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                          int32 numOuts) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) SMTG_OVERRIDE;
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
    uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API setProcessing(TBool /*state*/) SMTG_OVERRIDE { return kNotImplemented; }
    tresult PLUGIN_API process(ProcessData& /*data*/) SMTG_OVERRIDE { return kNotImplemented; }
    uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return kNoTail; }

    // The SDK looks these up with vector::at; an index outside the list is
    // answered with kResultFalse here instead of an exception.
    tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;

    // Bus setup. The lists own the buses; the returned pointers stay valid
    // until the bus is removed.
    AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                             int32 flags = BusInfo::kDefaultActive);

    tresult removeAudioBusses();
    tresult removeAudioInputs();
    tresult removeAudioOutputs();
    tresult removeEventBusses();
    tresult removeAllBusses();

    // Changes whenever a bus is added or removed, so that a caller may keep
    // bus pointers from one block to the next and look them up again only
    // after a change. The lists are changed through the operations above only.
    uint32 busListGeneration() const { return busGeneration; }

    // Null for an index outside the list.
    AudioBus* getAudioInput(int32 index);
    AudioBus* getAudioOutput(int32 index);
    EventBus* getEventInput(int32 index);
    EventBus* getEventOutput(int32 index);

    OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS(EditControllerEx1)

protected:
    BusList* getBusList(MediaType type, BusDirection dir);

    ProcessSetup processSetup;

    BusList audioInputs;
    BusList audioOutputs;
    BusList eventInputs;
    BusList eventOutputs;

private:
    uint32 busGeneration = 1;
};

}   // namespace Vst
}   // namespace Steinberg
