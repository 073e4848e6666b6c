#include "FactoryPresets.h"

// The detector listens to the sum of both channels (a centred mono source
// reads 6 dB above its channel level), attacks in 0.8 ms and releases slowly
// (Release: 300 ms, 800 ms, 2 s, 5 s, then two positions that follow the
// level), so thresholds sit higher and releases longer than on a fast VCA.
const std::vector<FactoryPresets::Preset>& FactoryPresets::all()
{
    static const std::vector<Preset> presets = {
        //                         Input  Output  AC      DC     Release  HPF    MIX    Engage  External
        //                         Atten          Thresh  Thresh                                Sidechain
        // Exactly what a new instance starts with.
        {"Default", {0.0, 0.0, 0.0, 2.0, 0.0, 20.0, 100.0, 1.0, 0.0}},
        // About three dB on the mix bus; the side-chain high-pass keeps the
        // kick from pumping the whole mix.
        {"Bus Glue", {0.0, 2.5, 10.0, 2.0, 1.0, 90.0, 100.0, 1.0, 0.0}},
        // Six dB or so of levelling on a vocal; the side-chain ignores rumble and
        // plosives, a little drive adds presence.
        {"Vocal Leveler", {3.0, 6.0, 14.0, 4.0, 0.0, 100.0, 100.0, 1.0, 0.0}},
        // Driven and crushed by 20 dB and more, made up, then blended under the
        // dry kit: the transients stay, the room and sustain come up.
        {"Drums Parallel Smash", {6.0, 14.0, 26.0, 8.0, 0.0, 20.0, 45.0, 1.0, 0.0}},
        // Two dB or so of slow, programme-dependent control on a finished mix.
        {"Mastering Gentle", {0.0, 1.5, 6.0, 1.5, 4.0, 60.0, 100.0, 1.0, 0.0}},
        // Bass ducked by the kick fed to the side-chain input.
        {"Sidechain Duck", {0.0, 0.0, 20.0, 6.0, 0.0, 20.0, 100.0, 1.0, 1.0}},
    };
    return presets;
}

const std::array<const char*, FactoryPresets::kParameterCount>& FactoryPresets::parameterTitles()
{
    static const std::array<const char*, kParameterCount> titles = {"Input Atten",  "Output",  "AC Threshold",
                                                                    "DC Threshold", "Release", "HPF",
                                                                    "MIX",          "Engage",  "External Sidechain"};
    return titles;
}

std::string FactoryPresets::fileName(const Preset& preset)
{
    return std::string(preset.name) + ".vstpreset";
}
