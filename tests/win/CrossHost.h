#pragma once

#include "CrossScenario.h"
#include "TestHostContext.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstdint>
#include <vector>

// One instance of the plug-in, driven the same way on both platforms: created
// through the factory, initialised, prepared for 64-bit processing with the
// main and sidechain buses active, fed the scenario block by block.
class CrossHost {
public:
    static const Steinberg::TUID kClassId;

    // Takes no reference of the factory's.
    explicit CrossHost(Steinberg::IPluginFactory* factory);
    ~CrossHost();

    CrossHost(const CrossHost&) = delete;
    CrossHost& operator=(const CrossHost&) = delete;

    bool Valid() const { return component && processor && controller; }
    Steinberg::Vst::IComponent* Component() const { return component; }
    Steinberg::Vst::IAudioProcessor* Processor() const { return processor; }
    Steinberg::Vst::IEditController* Controller() const { return controller; }

    // initialize, both input buses and the output on, setupProcessing (64-bit,
    // realtime), setActive, setProcessing.
    bool Prepare64(double sampleRate, int maxBlock);

    // Interleaved stereo in, interleaved stereo out, in blocks of blockSize;
    // each step's changes go with the block that starts at its frame (which
    // must be a block boundary). False when a step misses the boundaries or
    // process fails.
    bool Render(const std::vector<double>& mainInput, const std::vector<double>& sidechainInput,
                const std::vector<ScenarioStep>& steps, int blockSize, std::vector<double>& output);

    // Changes sent in a block of 0 frames, as hosts flush parameters.
    bool Apply(const std::vector<ParamSetting>& settings);

    // A .vstpreset file restored as hosts restore one, through the SDK's
    // preset reader: false unless the file names this class and its
    // component state loads.
    bool LoadPreset(const std::vector<uint8_t>& fileBytes);

    std::vector<uint8_t> SaveState();
    Steinberg::tresult LoadState(const std::vector<uint8_t>& bytes);

private:
    TestHostContext host;
    Steinberg::Vst::IComponent* component = nullptr;
    Steinberg::Vst::IAudioProcessor* processor = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    bool initialized = false;
    bool active = false;
};
