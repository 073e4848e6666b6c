#include "VstText.h"

#include "pluginterfaces/base/funknown.h"

namespace vsthost {

std::string VstText::toUtf8(const Steinberg::char16* text, size_t maxUnits)
{
    std::string out;
    for (size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxUnits) {
            const uint32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void VstText::toUtf16(const std::string& text, Steinberg::char16* out, size_t units)
{
    if (units == 0)
        return;
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < units;) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        uint32_t c = b;
        size_t len = 1;
        if (b >= 0xF0 && i + 3 < text.size()) {
            c = ((b & 0x07u) << 18) | ((text[i + 1] & 0x3Fu) << 12) | ((text[i + 2] & 0x3Fu) << 6) |
                (text[i + 3] & 0x3Fu);
            len = 4;
        } else if (b >= 0xE0 && i + 2 < text.size()) {
            c = ((b & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
            len = 3;
        } else if (b >= 0xC0 && i + 1 < text.size()) {
            c = ((b & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
            len = 2;
        }
        i += len;
        if (c >= 0x10000) {
            if (n + 2 >= units)
                break;
            c -= 0x10000;
            out[n++] = static_cast<Steinberg::char16>(0xD800 + (c >> 10));
            out[n++] = static_cast<Steinberg::char16>(0xDC00 + (c & 0x3FF));
        } else {
            out[n++] = static_cast<Steinberg::char16>(c);
        }
    }
    out[n] = 0;
}

std::u16string VstText::widen(const std::string& text)
{
    std::u16string out(text.size() + 1, u'\0');
    toUtf16(text, reinterpret_cast<Steinberg::char16*>(&out[0]), out.size());
    out.resize(std::char_traits<char16_t>::length(out.c_str()));
    return out;
}

std::string VstText::toAscii(const Steinberg::char16* text, size_t maxUnits)
{
    std::string out;
    for (size_t i = 0; text && i < maxUnits && text[i] != 0; ++i)
        out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return out;
}

std::string VstText::resultName(Steinberg::tresult result)
{
    using namespace Steinberg;
    switch (result) {
    case kResultOk: return "kResultOk";
    case kResultFalse: return "kResultFalse";
    case kNoInterface: return "kNoInterface";
    case kInvalidArgument: return "kInvalidArgument";
    case kNotImplemented: return "kNotImplemented";
    case kInternalError: return "kInternalError";
    case kNotInitialized: return "kNotInitialized";
    case kOutOfMemory: return "kOutOfMemory";
    default: return "result " + std::to_string(result);
    }
}

std::string VstText::fromField(const char* field, size_t size)
{
    size_t n = 0;
    while (n < size && field[n] != '\0')
        ++n;
    return std::string(field, n);
}

}   // namespace vsthost
