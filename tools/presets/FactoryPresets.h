#pragma once

#include <array>
#include <string>
#include <vector>

// The factory presets: starting points a mixing engineer reaches for, each a
// complete set of parameter values in the units the host shows.
class FactoryPresets {
public:
    static constexpr int kParameterCount = 9;

    struct Preset {
        const char* name;
        std::array<double, kParameterCount> values;   // in the order of parameterTitles()
    };

    static const std::vector<Preset>& all();
    // The parameter titles the values belong to, as the plug-in names them.
    static const std::array<const char*, kParameterCount>& parameterTitles();
    // "<name>.vstpreset": hosts show the file name as the preset's name.
    static std::string fileName(const Preset& preset);
};
