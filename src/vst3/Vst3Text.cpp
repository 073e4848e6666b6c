#include "vst3/Vst3Text.h"

void WidenToString128(const char* text, Steinberg::Vst::String128 out)
{
    size_t i = 0;
    if (text) {
        for (; i < 127 && text[i] != '\0'; ++i)
            out[i] = static_cast<Steinberg::Vst::TChar>(static_cast<unsigned char>(text[i]));
    }
    out[i] = 0;
}

void NarrowFromString128(const Steinberg::Vst::TChar* text, char* out, size_t outSize)
{
    if (!out || outSize == 0)
        return;
    size_t i = 0;
    if (text) {
        for (; i + 1 < outSize && i < 128 && text[i] != 0; ++i)
            out[i] = static_cast<char>(text[i] & 0xFF);
    }
    out[i] = '\0';
}
