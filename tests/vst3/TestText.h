#pragma once

#include "host/VstText.h"

#include "pluginterfaces/vst/vsttypes.h"

#include <string>

// UTF-16 texts of the VST 3 interfaces, for comparing with plain strings.
class TestText {
public:
    // Units above 0x7F show as '?', so a wrong widening never compares equal.
    static std::string Narrow(const Steinberg::Vst::TChar* text, size_t maxUnits = 128)
    {
        return vsthost::VstText::toAscii(text, maxUnits);
    }
    static std::u16string Widen(const std::string& text) { return vsthost::VstText::widen(text); }
};
