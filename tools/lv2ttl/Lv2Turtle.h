#pragma once

#include "FactoryPresets.h"
#include "lv2/Lv2Plug.h"

#include <string>

// The Turtle of the LV2 bundle, made from the plug's own ports and
// parameters, the identity and the factory preset table.
class Lv2Turtle {
public:
    explicit Lv2Turtle(const Lv2Plug& plug) : plug(plug) {}

    std::string Manifest() const;
    std::string Plugin() const;
    // Empty, with error set, when a preset names a parameter the plug lacks.
    std::string Presets(std::string& error) const;

    // "AC Threshold" -> "ac_threshold".
    static std::string SymbolOf(const char* name);
    // "Bus Glue" -> the preset's URI.
    static std::string PresetUri(const char* name);

private:
    std::string ControlPort(int32_t index, int32_t paramIdx) const;
    const Lv2Plug& plug;
};
