#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"
#include "pix/PIX_Pixel32.h"

// Combines `colour` into the rectangle (x, y, width, height) of `bitmap`,
// clipped to it. The fill's own alpha is the integer weight; with
// PIX_MODE_SOURCE_ALPHA the weight is first scaled by the colour's alpha.
void PIX_FillArea(PIX_IBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height, PIX_Pixel32 colour,
                  float weight, int32_t mode);
