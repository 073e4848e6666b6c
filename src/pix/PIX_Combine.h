#pragma once

// Per-pixel combine rules shared by compositing, filling and glyph drawing.
// Each takes the destination pixel d, a source pixel s whose blue, green and
// red are used, the source alpha sa as a separate integer (a fill passes its
// integer weight here, which may be 256) and the integer weight a (256 = 1.0).
// Arithmetic is signed 32-bit per channel; divisions truncate toward zero.

#include <cstdint>

#include "pix/PIX_Pixel32.h"

inline int32_t PIX_Channel(PIX_Pixel32 p, int32_t index)
{
    return static_cast<int32_t>((p >> (8 * index)) & 0xFF);
}

inline int32_t PIX_Clamp255(int32_t v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Keeps the low 8 bits of each channel.
inline PIX_Pixel32 PIX_PackPixel(int32_t b, int32_t g, int32_t r, int32_t a)
{
    return (static_cast<uint32_t>(b) & 0xFF) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
        ((static_cast<uint32_t>(r) & 0xFF) << 16) | (static_cast<uint32_t>(a) << 24);
}

// trunc(weight * 256) in double precision. Weights are meant to lie in 0..1;
// anything beyond -1..2 (and NaN, taken as 0) is pulled into that range so
// every rule stays inside 32-bit arithmetic.
inline int32_t PIX_IntegerWeight(float weight)
{
    const double scaled = static_cast<double>(weight) * 256.0;
    if (!(scaled == scaled))
        return 0;
    if (scaled < -256.0)
        return -256;
    if (scaled > 512.0)
        return 512;
    return static_cast<int32_t>(scaled);
}

// Weight of a pixel under PIX_MODE_SOURCE_ALPHA.
inline int32_t PIX_AlphaWeight(int32_t a, int32_t sa)
{
    return a * (sa + 1) / 256;
}

inline int32_t PIX_CopyChannel(int32_t d, int32_t s, int32_t keep)
{
    return s + (d - s) * keep / 256;
}

// COPY for 0 < a < 256; a = 256 is a plain store.
inline PIX_Pixel32 PIX_CombineCopy(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t a)
{
    const int32_t keep = 256 - a;
    return PIX_PackPixel(PIX_CopyChannel(PIX_Channel(d, 0), PIX_Channel(s, 0), keep),
                         PIX_CopyChannel(PIX_Channel(d, 1), PIX_Channel(s, 1), keep),
                         PIX_CopyChannel(PIX_Channel(d, 2), PIX_Channel(s, 2), keep),
                         PIX_CopyChannel(PIX_Channel(d, 3), sa, keep));
}

// COPY + SOURCE_ALPHA at full weight: transparent keeps, opaque replaces.
// Written with selects rather than early returns so the loop vectorises.
inline PIX_Pixel32 PIX_CombineCopySourceAlphaFull(PIX_Pixel32 d, PIX_Pixel32 s)
{
    const int32_t sa = static_cast<int32_t>(s >> 24);
    const int32_t keep = 255 - sa;
    const int32_t da = PIX_Channel(d, 3) + sa;
    const PIX_Pixel32 blended =
        PIX_PackPixel(PIX_CopyChannel(PIX_Channel(d, 0), PIX_Channel(s, 0), keep),
                      PIX_CopyChannel(PIX_Channel(d, 1), PIX_Channel(s, 1), keep),
                      PIX_CopyChannel(PIX_Channel(d, 2), PIX_Channel(s, 2), keep), da < 255 ? da : 255);
    const PIX_Pixel32 kept = sa == 0 ? d : blended;
    return sa == 255 ? s : kept;
}

inline PIX_Pixel32 PIX_CombineCopySourceAlpha(PIX_Pixel32 d, PIX_Pixel32 s, int32_t a)
{
    const int32_t sa = static_cast<int32_t>(s >> 24);
    const int32_t e = PIX_AlphaWeight(a, sa);
    const int32_t keep = 256 - e;
    const int32_t da = PIX_Channel(d, 3) + e;
    const PIX_Pixel32 blended =
        PIX_PackPixel(PIX_CopyChannel(PIX_Channel(d, 0), PIX_Channel(s, 0), keep),
                      PIX_CopyChannel(PIX_Channel(d, 1), PIX_Channel(s, 1), keep),
                      PIX_CopyChannel(PIX_Channel(d, 2), PIX_Channel(s, 2), keep), da < 255 ? da : 255);
    return sa == 0 ? d : blended;
}

// One channel rule applied to blue, green, red and alpha alike; alpha's
// source is `sa`, not the source pixel's own.
template <typename Rule>
inline PIX_Pixel32 PIX_EachChannel(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, Rule rule)
{
    return PIX_PackPixel(rule(PIX_Channel(d, 0), PIX_Channel(s, 0)), rule(PIX_Channel(d, 1), PIX_Channel(s, 1)),
                         rule(PIX_Channel(d, 2), PIX_Channel(s, 2)), rule(PIX_Channel(d, 3), sa));
}

inline int32_t PIX_AddChannel(int32_t d, int32_t s, int32_t a)
{
    return PIX_Clamp255(d + s * a / 256);
}

inline PIX_Pixel32 PIX_CombineAdd(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t a)
{
    return PIX_EachChannel(d, s, sa, [a](int32_t dc, int32_t sc) { return PIX_AddChannel(dc, sc, a); });
}

inline PIX_Pixel32 PIX_CombineAddSourceAlpha(PIX_Pixel32 d, PIX_Pixel32 s, int32_t a)
{
    const int32_t sa = static_cast<int32_t>(s >> 24);
    const PIX_Pixel32 added = PIX_CombineAdd(d, s, sa, PIX_AlphaWeight(a, sa));
    return sa == 0 ? d : added;
}

inline int32_t PIX_DodgeChannel(int32_t d, int32_t s, int32_t a)
{
    const int32_t x = s * a / 256;
    return 256 - x > 1 ? PIX_Clamp255(d * 256 / (256 - x)) : PIX_Clamp255(d * 256);
}

inline PIX_Pixel32 PIX_CombineDodge(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t a)
{
    return PIX_EachChannel(d, s, sa, [a](int32_t dc, int32_t sc) { return PIX_DodgeChannel(dc, sc, a); });
}

inline int32_t PIX_MultiplyChannel(int32_t d, int32_t s, int32_t a)
{
    return ((s - 256) * a + 65536) * d >> 16;
}

inline PIX_Pixel32 PIX_CombineMultiply(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t a)
{
    return PIX_EachChannel(d, s, sa, [a](int32_t dc, int32_t sc) { return PIX_MultiplyChannel(dc, sc, a); });
}

// (s * e + (256 - e) * 256) equals (s - 256) * e + 65536, so the plain rule
// serves the source-alpha form with weight e.
inline PIX_Pixel32 PIX_CombineMultiplySourceAlpha(PIX_Pixel32 d, PIX_Pixel32 s, int32_t a)
{
    const int32_t sa = static_cast<int32_t>(s >> 24);
    const PIX_Pixel32 multiplied = PIX_CombineMultiply(d, s, sa, PIX_AlphaWeight(a, sa));
    return sa == 0 ? d : multiplied;
}

inline int32_t PIX_OverlayChannel(int32_t d, int32_t s, int32_t a, int32_t k)
{
    const int32_t t = s * a + k;
    return PIX_Clamp255(((32768 - t) * d / 256 + t) * d >> 15);
}

inline PIX_Pixel32 PIX_CombineOverlay(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t a)
{
    const int32_t k = (256 - a) * 128;
    return PIX_EachChannel(d, s, sa, [a, k](int32_t dc, int32_t sc) { return PIX_OverlayChannel(dc, sc, a, k); });
}

// HSV adjust lives out of line (PIX_HsvAdjust.cpp); the source's red shifts the
// hue, green the saturation, blue the value; the destination alpha becomes sa.
PIX_Pixel32 PIX_CombineHsvAdjust(PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t w);

// The plain rule of a kind (no source-alpha variant), for callers that pick
// the kind per call rather than per loop. Kinds without a plain rule leave d.
inline PIX_Pixel32 PIX_CombinePlain(int32_t kind, PIX_Pixel32 d, PIX_Pixel32 s, int32_t sa, int32_t a)
{
    switch (kind) {
    case 0:
        if (a == 256)
            return PIX_PackPixel(PIX_Channel(s, 0), PIX_Channel(s, 1), PIX_Channel(s, 2), sa);
        return a < 1 ? d : PIX_CombineCopy(d, s, sa, a);
    case 1: return PIX_CombineAdd(d, s, sa, a);
    case 2: return PIX_CombineDodge(d, s, sa, a);
    case 3: return PIX_CombineMultiply(d, s, sa, a);
    case 4: return PIX_CombineOverlay(d, s, sa, a);
    case 5: return PIX_CombineHsvAdjust(d, s, sa, a);
    default: return d;
    }
}
