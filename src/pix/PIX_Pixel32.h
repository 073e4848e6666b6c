#pragma once

#include <cstdint>

// One pixel as the word 0xAARRGGBB (bytes blue, green, red, alpha in memory).
// Colour channels are straight, not premultiplied by alpha.
using PIX_Pixel32 = uint32_t;
