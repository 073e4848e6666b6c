#include "TestText.h"

std::string TestText::Narrow(const Steinberg::Vst::TChar* text, size_t maxUnits)
{
    std::string out;
    for (size_t i = 0; text && i < maxUnits && text[i] != 0; ++i)
        out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return out;
}

std::u16string TestText::Widen(const std::string& text)
{
    std::u16string out;
    for (unsigned char c : text)
        out.push_back(static_cast<char16_t>(c));
    return out;
}
