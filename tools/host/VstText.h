#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace vsthost {

// Conversions between the SDK's UTF-16 texts and UTF-8, and names for result codes.
class VstText {
public:
    static std::string toUtf8(const Steinberg::char16* text, size_t maxUnits);
    // Fills a NUL-terminated UTF-16 field of `units` units, cutting long texts.
    static void toUtf16(const std::string& text, Steinberg::char16* out, size_t units);
    static std::u16string widen(const std::string& text);
    // Units above 0x7F show as '?', so a wrong widening never compares equal.
    static std::string toAscii(const Steinberg::char16* text, size_t maxUnits);
    static std::string resultName(Steinberg::tresult result);
    // A fixed-size char field that may lack its terminator.
    static std::string fromField(const char* field, size_t size);
};

}   // namespace vsthost
