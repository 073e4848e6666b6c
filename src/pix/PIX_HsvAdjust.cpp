// HSV adjust on a hue circle of 384 units (six sectors of 64).
#include <cstddef>

#include "pix/PIX_Combine.h"
#include "pix/PIX_ReciprocalTable.h"

PIX_Pixel32 PIX_CombineHsvAdjust(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t w)
{
    const int32_t b = PIX_Channel(d, 0);
    const int32_t g = PIX_Channel(d, 1);
    const int32_t r = PIX_Channel(d, 2);
    const int32_t sb = PIX_Channel(s, 0);
    const int32_t sg = PIX_Channel(s, 1);
    const int32_t sr = PIX_Channel(s, 2);
    const auto& T = PIX_ReciprocalTable;

    int32_t max;
    int32_t min;
    int32_t base;
    int32_t numerator;
    if (r < g && b < g) {
        max = g;
        min = r < b ? r : b;
        base = 128;
        numerator = b - r;
    } else if ((r < g && g <= b) || (g <= r && r <= b)) {
        max = b;
        min = r < g ? r : g;
        base = 256;
        numerator = r - g;
    } else {
        max = r;
        min = g < b ? g : b;
        base = g < b ? 383 : 0;
        numerator = g - b;
    }
    const int32_t range = max - min;

    int32_t hue = base + numerator * (T[static_cast<size_t>(range)] + 1) / 1024 + w * (sr / 2 + sr - 192) / 256;
    if (hue < 0)
        hue += 384;
    else if (hue >= 384)
        hue -= 384;
    const int32_t sat = PIX_Clamp255(range * T[static_cast<size_t>(max)] / 256 + w * (sg - 128) / 128);
    const int32_t val = PIX_Clamp255(max + w * (sb - 128) / 128);
    const int32_t p = (256 - sat) * val / 256;

    // Weights outside 0..1 can leave the hue off the circle; such hues take
    // the nearest sector.
    int32_t R;
    int32_t G;
    int32_t B;
    if (hue < 64) {
        R = val;
        G = val * (16384 + sat * (hue - 64)) / 16384;
        B = p;
    } else if (hue < 128) {
        R = val * (16384 - sat * (hue - 64)) / 16384;
        G = val;
        B = p;
    } else if (hue < 192) {
        R = p;
        G = val;
        B = val * (16384 + sat * (hue - 192)) / 16384;
    } else if (hue < 256) {
        R = p;
        G = val * (16384 - sat * (hue - 192)) / 16384;
        B = val;
    } else if (hue < 320) {
        R = val * (16384 + sat * (hue - 320)) / 16384;
        G = p;
        B = val;
    } else {
        R = val;
        G = p;
        B = val * (16384 - sat * (hue - 320)) / 16384;
    }
    return PIX_PackPixel(B, G, R, sa);
}
