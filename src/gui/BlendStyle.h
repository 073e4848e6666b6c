#pragma once

#include <cstdint>

// How a control's bitmap is combined with what lies below it.
enum BlendMethod : int32_t {
    kBlendSourceAlpha = 0,
    kBlendCopy = 1,
    kBlendAdd = 2,
    kBlendDodge = 3,
};

struct BlendStyle {
    int32_t method = kBlendSourceAlpha;
    float weight = 1.0f;   // scales the source

    BlendStyle() = default;
    BlendStyle(int32_t m, float w) : method(m), weight(w) {}
};
