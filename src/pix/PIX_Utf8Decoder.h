#pragma once

#include <cstdint>

// Reads characters from UTF-8 text the forgiving way text drawing needs:
// two- and three-byte sequences give their 16-bit code, four-byte ones a
// space (the glyph cache holds 16-bit codes only), and any byte that does not
// start a complete sequence stands for itself. Stops at a NUL byte or, with a
// non-negative count, when the count is used up.
class PIX_Utf8Decoder {
public:
    PIX_Utf8Decoder(const char* text, int32_t count)
        : next(reinterpret_cast<const uint8_t*>(text)),
          left(text ? count : 0)
    {
    }

    bool Next(uint32_t* ch)
    {
        if (left == 0 || *next == 0)
            return false;
        const uint32_t lead = *next;
        int32_t extra = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
            extra = 1;
        else if (lead >= 0xE0 && lead <= 0xEF)
            extra = 2;
        else if (lead >= 0xF0 && lead <= 0xF4)
            extra = 3;
        for (int32_t i = 1; i <= extra; ++i)
            if ((left >= 0 && i >= left) || (next[i] & 0xC0) != 0x80) {
                extra = 0;
                break;
            }
        switch (extra) {
        case 1: *ch = (lead & 0x1F) << 6 | (next[1] & 0x3Fu); break;
        case 2: *ch = (lead & 0x0F) << 12 | (next[1] & 0x3Fu) << 6 | (next[2] & 0x3Fu); break;
        case 3: *ch = ' '; break;
        default: *ch = lead; break;
        }
        next += extra + 1;
        if (left > 0)
            left -= extra + 1;
        return true;
    }

private:
    const uint8_t* next;
    int32_t left;   // bytes left, or negative: up to the NUL
};
