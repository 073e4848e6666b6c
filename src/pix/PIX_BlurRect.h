#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"

// Softens the top-left width x height pixels of `bitmap` in place: each byte
// becomes half itself plus an eighth of each direct neighbour, a missing
// neighbour's share going to the opposite one. Nothing below 2 x 2.
void PIX_BlurRect(PIX_IBitmap* bitmap, int32_t width, int32_t height);
