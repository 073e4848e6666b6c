#pragma once

#include <cstdint>

// What a font is made from, in the terms of a Windows logical font.
struct PIX_FontDesc {
    int32_t height = 0;   // > 0: cell height (the line height), < 0: character height, 0: default
    int32_t escapement = 0;   // tenths of a degree
    int32_t orientation = 0;   // tenths of a degree
    int32_t weight = 400;   // 100..900; 0 means 400
    bool italic = false;
    int32_t quality = 0;   // 0 default, 1 non-antialiased, 2 antialiased, 3 ClearType
    char faceName[32] = {};
};
