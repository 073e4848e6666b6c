#pragma once

#include "ParameterChanges.h"
#include "RecordingComponentHandler.h"
#include "StereoSignal.h"
#include "TestHostContext.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <cstdint>
#include <vector>

// One instance of the plug-in driven the way a host drives it: created
// through the module's factory, initialised with a host context, buses
// activated, processing set up, blocks processed, state saved and loaded,
// and terminated and released at the end.
class HostedPlugin {
public:
    struct Setup {
        Steinberg::int32 sampleSize = Steinberg::Vst::kSample32;
        Steinberg::int32 maxBlock = 512;
        double sampleRate = 48000.0;
        bool sidechain = false;
        // 1: the host sets the sidechain bus up as mono.
        Steinberg::int32 sidechainChannels = 2;

        static Setup Of(Steinberg::int32 sampleSize, Steinberg::int32 maxBlock, bool sidechain = false)
        {
            Setup s;
            s.sampleSize = sampleSize;
            s.maxBlock = maxBlock;
            s.sidechain = sidechain;
            return s;
        }
        // "32-bit" or "64-bit": for the trace of a test run at both sizes.
        static const char* SizeName(Steinberg::int32 sampleSize)
        {
            return sampleSize == Steinberg::Vst::kSample64 ? "64-bit" : "32-bit";
        }
    };

    static const Steinberg::TUID kClassId;

    HostedPlugin();
    ~HostedPlugin();

    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    bool Valid() const { return component && processor && controller && units; }
    Steinberg::Vst::IComponent* Component() const { return component; }
    Steinberg::Vst::IAudioProcessor* Processor() const { return processor; }
    Steinberg::Vst::IEditController* Controller() const { return controller; }
    Steinberg::Vst::IUnitInfo* Units() const { return units; }
    TestHostContext& Host() { return host; }
    RecordingComponentHandler& Handler() { return handler; }

    // initialize with the instance's own host context, then the handler.
    Steinberg::tresult Initialize();
    // Everything a host does before the first block: initialize (once),
    // activate the main buses (and the sidechain when asked), setupProcessing,
    // setActive (true), setProcessing (true).
    bool Prepare(const Setup& setup);
    void SetSidechainActive(bool on);
    Steinberg::int32 SampleSize() const { return setup.sampleSize; }

    // One block of `frames` frames of in (and sc) from `start`, result into out
    // at the same place. False when the plug-in wrote outside the block.
    bool ProcessBlock(const StereoSignal& in, const StereoSignal* sc, size_t start, int frames, StereoSignal& out,
                      Steinberg::Vst::IParameterChanges* changes = nullptr, bool inPlace = false);
    // The whole of in, in blocks whose sizes cycle through blockSizes; changes
    // go with the first block.
    StereoSignal Render(const StereoSignal& in, const StereoSignal* sc, const std::vector<int>& blockSizes,
                        Steinberg::Vst::IParameterChanges* changes = nullptr, bool inPlace = false);
    // A 0-frame block carrying the changes, as hosts flush parameters.
    void Apply(Steinberg::Vst::IParameterChanges& changes);

    std::vector<uint8_t> SaveState();
    Steinberg::tresult LoadState(const std::vector<uint8_t>& bytes);

    // True once any processed block wrote outside its frames.
    bool GuardFault() const { return guardFault; }

private:
    TestHostContext host;
    RecordingComponentHandler handler;
    Steinberg::Vst::IComponent* component = nullptr;
    Steinberg::Vst::IAudioProcessor* processor = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    Steinberg::Vst::IUnitInfo* units = nullptr;
    Setup setup;
    bool initialized = false;
    bool active = false;
    bool guardFault = false;
};
