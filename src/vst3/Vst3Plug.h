#pragma once

#include "core/HostBypass.h"
#include "core/PlugCore.h"
#include "vst3/ParamQueueMerge.h"
#include "vst3/sdk/SingleComponentEffect.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// The host adaptor: one object that is the plug core, the VST 3 audio
// component and the edit controller. Host-specific work stays here; the core
// and the plug never see an SDK type.
class Vst3Plug : public PlugCore, public Steinberg::Vst::SingleComponentEffect {
public:
    static constexpr Steinberg::Vst::ParamID kBypassParamId = 0x62706173;   // 'bpas'
    static constexpr Steinberg::Vst::ParamID kPresetParamId = 0x70727374;   // 'prst'
    // Buffers are never sized beyond this, whatever a host asks for.
    static constexpr Steinberg::int32 kMaxBlockLimit = 1 << 22;
    // The plug built on this adaptor has its editor; the meter is for it alone.
    static constexpr bool kBuildsEditor = true;
    static constexpr bool kReportsMeter = false;

    Vst3Plug(int32_t nParams, const char* channelIOString, int32_t nPresets, const char* effectName,
             const char* productName, const char* makerName, int32_t version, int32_t uniqueId, int32_t makerId);
    ~Vst3Plug() override;

    static Steinberg::Vst::SpeakerArrangement ArrangementForCount(int32_t channels);

    // IPluginBase
    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;

    // IComponent
    Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;
    // Component and controller share these two; the state travels through them.
    Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE;

    // IAudioProcessor
    Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                     Steinberg::int32 numIns,
                                                     Steinberg::Vst::SpeakerArrangement* outputs,
                                                     Steinberg::int32 numOuts) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

    // IEditController
    Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                        Steinberg::Vst::ParamValue normalized,
                                                        Steinberg::Vst::String128 string) SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID id,
                                                                 Steinberg::Vst::ParamValue plain) SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                     Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
    Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;

    // IEditController2
    Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode) SMTG_OVERRIDE { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API openHelp(Steinberg::TBool) SMTG_OVERRIDE { return Steinberg::kResultFalse; }
    Steinberg::tresult PLUGIN_API openAboutBox(Steinberg::TBool) SMTG_OVERRIDE { return Steinberg::kResultFalse; }

    // IUnitInfo
    Steinberg::int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) SMTG_OVERRIDE;
    Steinberg::int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                     Steinberg::Vst::ProgramListInfo& info) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                                 Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID, Steinberg::int32,
                                                 Steinberg::Vst::CString, Steinberg::Vst::String128) SMTG_OVERRIDE
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID, Steinberg::int32) SMTG_OVERRIDE
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID, Steinberg::int32, Steinberg::int16,
                                                      Steinberg::Vst::String128) SMTG_OVERRIDE
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE { return 0; }
    Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID) SMTG_OVERRIDE
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType, Steinberg::Vst::BusDirection,
                                               Steinberg::int32, Steinberg::int32,
                                               Steinberg::Vst::UnitID&) SMTG_OVERRIDE
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32, Steinberg::int32,
                                                     Steinberg::IBStream*) SMTG_OVERRIDE
    {
        return Steinberg::kNotImplemented;
    }

    // Core operations that talk to the host.
    void BeginParamEdit(int32_t paramIdx) override;
    void PerformParamEdit(int32_t paramIdx, double normalized) override;
    void EndParamEdit(int32_t paramIdx) override;
    void PopupParamContextMenu(int32_t paramIdx, int32_t x, int32_t y) override;
    bool IsOfflineRender() override;
    int32_t GetHostSamplePos() override;
    double GetHostTempo() override;
    void GetHostTimeSig(int32_t* numerator, int32_t* denominator) override;
    void GetHostTimeInfo(TransportInfo* info) override;
    void ResizeEditor(int32_t width, int32_t height) override;
    void SetLatencySamples(int32_t samples) override;
    bool EmitMidiEvent(const MidiEvent&) override { return false; }

    bool SidechainActive() const { return sidechainActive; }
    const Steinberg::Vst::ProcessSetup& CurrentSetup() const { return processSetup; }

    // The editor views, in creation order. A view's last release forgets
    // them all.
    const std::vector<Steinberg::IPlugView*>& Views() const { return views; }
    void ForgetViews() { views.clear(); }
    // The view attached to the one editor now, none while it is closed. The
    // editor has one window: no other view is made or attached meanwhile.
    Steinberg::IPlugView* EditorOwner() const { return editorOwner; }
    void SetEditorOwner(Steinberg::IPlugView* view) { editorOwner = view; }

    OBJ_METHODS(Vst3Plug, SingleComponentEffect)
    REFCOUNT_METHODS(SingleComponentEffect)

protected:
    // How long the plug's output rings on after its input stops, in seconds;
    // the host is told it as a sample count at the rate in force.
    virtual double TailSeconds() const { return 0.0; }

    // Open editor views, first one used for resizing and context menus.
    std::vector<Steinberg::IPlugView*> views;
    Steinberg::IPlugView* editorOwner = nullptr;

    // True until a block has been processed since the instance was made or
    // last activated (through the whole first host block, in all its
    // pieces), and when the chain resumes after the host bypass: a switch
    // then takes effect at once, without a fade, so that a loaded state or
    // preset renders as it always did.
    bool FreshStart() const { return hostBypass.FreshStart(); }
    // A plug's block ran; the adaptor keeps the start fresh to the end of
    // its first host block.
    void EndFreshStart() { hostBypass.EndFreshStart(); }

private:
    // Lets the views' windows catch up in a host without a run loop.
    void PumpViews();
    bool KnowsParam(Steinberg::Vst::ParamID id) const;
    // One point of a host queue: the host bypass, the preset or a parameter.
    void ApplyParamPoint(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);
    void ProcessPiece(Steinberg::Vst::ProcessData& data, int32_t offset, int32_t nFrames, bool is64);
    template <typename T>
    void BindInputs(Steinberg::Vst::ProcessData& data, int32_t offset, int32_t nFrames);
    template <typename T>
    void BindOutputs(Steinberg::Vst::ProcessData& data, int32_t offset);
    void RefreshBusCache();
    Steinberg::Vst::AudioBus* OutputBusAt(Steinberg::int32 index);
    void CreateParameters();

    // The thread the views were made on, the host's user-interface thread.
    std::thread::id viewThread;
    int32_t sidechainChannels = 2;
    // The buses a block reads the activity of, looked up again only after
    // the bus lists change; an activation flips the flag of the same bus.
    uint32_t busCacheGeneration = 0;
    Steinberg::Vst::AudioBus* cachedSidechainBus = nullptr;
    int32_t cachedOutputBusCount = 0;
    Steinberg::Vst::AudioBus* cachedOutputBuses[kMaxBoundPorts] = {};
    // The current block's parameter queues, merged by offset.
    ParamQueueMerge queueMerge;
    bool sidechainActive = false;
    HostBypass hostBypass;
    // The host's transport as the last block saw it. The transport queries
    // come from any thread without the plug mutex, so each field is a relaxed
    // atomic of its own (fields of one block may mix with the next).
    std::atomic<double> hostTempo{0.0};
    std::atomic<int64_t> hostSamplePos{0};
    std::atomic<double> hostPpqPos{0.0};
    std::atomic<double> hostBarPos{0.0};
    std::atomic<double> hostCycleStart{0.0};
    std::atomic<double> hostCycleEnd{0.0};
    std::atomic<int32_t> hostTimeSigNumerator{0};
    std::atomic<int32_t> hostTimeSigDenominator{0};
    std::atomic<uint32_t> hostTransportState{0};
};
