#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <cstdint>
#include <vector>

// One parameter change as a host sends it: ID and normalised value.
struct ParamSetting {
    Steinberg::Vst::ParamID id;
    Steinberg::Vst::ParamValue normalized;
};

// Changes sent with the block that starts at `frame`.
struct ScenarioStep {
    int64_t frame;
    std::vector<ParamSetting> settings;
};

// The fixed run that the Windows and the Linux builds of the plug-in both
// process, so that their outputs can be compared bit for bit: 64-bit samples
// at 44.1 kHz, a main and a sidechain input made without any libm call (the
// two C libraries need not agree on sin or exp), and parameter changes at a
// few block boundaries covering every parameter.
class CrossScenario {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr int kBlockSize = 441;
    static constexpr int kMaxBlock = 512;
    static constexpr int64_t kFrames = 4 * 44100;

    // Interleaved left, right.
    static std::vector<double> MainInput();
    static std::vector<double> SidechainInput();
    static const std::vector<ScenarioStep>& Steps();

    // Non-default values of all nine parameters and the host bypass off, for
    // the saved-state exchange; the plain values the blob must hold, in order.
    static const std::vector<ParamSetting>& StateSettings();
    static const std::vector<double>& StatePlainValues();
};
