#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"
#include "pix/PIX_Rect.h"

// Combines the source rectangle (none: the whole source) of `src` onto `dst`
// with its top-left corner at (x, y), clipped to both bitmaps. `mode` is a
// PIX_MODE_* word, `weight` runs from 0 to 1.
void PIX_Composite(PIX_IBitmap* dst, const PIX_IBitmap* src, int32_t x, int32_t y, const PIX_Rect* srcRect,
                   float weight, int32_t mode);
