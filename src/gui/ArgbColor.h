#pragma once

#include <cstdint>

// A colour with straight alpha, each channel 0 to 255.
struct ArgbColor {
    int32_t alpha = 255;
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;

    ArgbColor() = default;
    ArgbColor(int32_t a, int32_t r, int32_t g, int32_t b) : alpha(a), red(r), green(g), blue(b) {}

    // As a 0xAARRGGBB pixel word, channels limited to a byte.
    uint32_t ToPixel() const { return (Byte(alpha) << 24) | (Byte(red) << 16) | (Byte(green) << 8) | Byte(blue); }

private:
    static uint32_t Byte(int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
};
