#include "CombineReference.h"

#include <algorithm>

namespace {

struct Px {
    int c[4];   // blue, green, red, alpha
};

Px Split(uint32_t p)
{
    return Px{{int(p & 255), int((p >> 8) & 255), int((p >> 16) & 255), int(p >> 24)}};
}

uint32_t Join(const Px& p)
{
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word |= uint32_t(p.c[i] & 255) << (8 * i);
    return word;
}

int Clamp(int v)
{
    return std::min(255, std::max(0, v));
}

int Recip(int i)
{
    return i == 0 ? 0 : 65536 / i - 1;
}

// Destination (B, G, R) moved in hue, saturation and value by the source's
// red, green and blue; alpha becomes sa.
Px Hsv(const Px& d, const Px& s, int sa, int w)
{
    const int B = d.c[0], G = d.c[1], R = d.c[2];
    const int mx = std::max({B, G, R});
    const int range = mx - std::min({B, G, R});
    int base, num;
    if (R < G && B < G) {
        base = 128;
        num = B - R;
    } else if ((R < G && G <= B) || (G <= R && R <= B)) {
        base = 256;
        num = R - G;
    } else {
        base = G < B ? 383 : 0;
        num = G - B;
    }
    const int sr = s.c[2], sg = s.c[1], sb = s.c[0];
    int hue = base + num * (Recip(range) + 1) / 1024 + w * (sr / 2 + sr - 192) / 256;
    if (hue < 0)
        hue += 384;
    else if (hue >= 384)
        hue -= 384;
    const int sat = Clamp(range * Recip(mx) / 256 + w * (sg - 128) / 128);
    const int val = Clamp(mx + w * (sb - 128) / 128);
    const int p = (256 - sat) * val / 256;
    int r, g, b;
    const int up = 16384, k = sat;
    switch (hue / 64) {
    case 0:
        r = val;
        g = val * (up + k * (hue - 64)) / up;
        b = p;
        break;
    case 1:
        r = val * (up - k * (hue - 64)) / up;
        g = val;
        b = p;
        break;
    case 2:
        r = p;
        g = val;
        b = val * (up + k * (hue - 192)) / up;
        break;
    case 3:
        r = p;
        g = val * (up - k * (hue - 192)) / up;
        b = val;
        break;
    case 4:
        r = val * (up + k * (hue - 320)) / up;
        g = p;
        b = val;
        break;
    default:
        r = val;
        g = p;
        b = val * (up - k * (hue - 320)) / up;
        break;
    }
    return Px{{b, g, r, sa}};
}

// The plain rule of a kind with weight w; s.c[3] is the source alpha.
Px Plain(int kind, Px d, const Px& s, int w)
{
    switch (kind) {
    case 0:
        if (w == 256)
            return s;
        if (w < 1)
            return d;
        for (int i = 0; i < 4; ++i)
            d.c[i] = s.c[i] + (d.c[i] - s.c[i]) * (256 - w) / 256;
        return d;
    case 1:
        for (int i = 0; i < 4; ++i)
            d.c[i] = Clamp(d.c[i] + s.c[i] * w / 256);
        return d;
    case 2:
        for (int i = 0; i < 4; ++i) {
            const int x = s.c[i] * w / 256;
            d.c[i] = 256 - x > 1 ? Clamp(d.c[i] * 256 / (256 - x)) : Clamp(d.c[i] * 256);
        }
        return d;
    case 3:
        for (int i = 0; i < 4; ++i)
            d.c[i] = ((s.c[i] - 256) * w + 65536) * d.c[i] >> 16;
        return d;
    case 4: {
        const int k = (256 - w) * 128;
        for (int i = 0; i < 4; ++i) {
            const int t = s.c[i] * w + k;
            d.c[i] = Clamp(((32768 - t) * d.c[i] / 256 + t) * d.c[i] >> 15);
        }
        return d;
    }
    case 5: return Hsv(d, s, s.c[3], w);
    default: return d;
    }
}

}   // namespace

uint32_t RefComposite(uint32_t d, uint32_t s, float weight, int32_t mode)
{
    if (weight == 0.0f)
        return d;
    const int kind = mode & 0xFF;
    if (kind >= 0xF0) {
        const int dstByte = (mode >> 2) & 3, srcByte = mode & 3;
        Px out = Split(d);
        out.c[dstByte] = Split(s).c[srcByte];
        return Join(out);
    }
    const int masked = mode & 0x100FF;
    if (masked == 0 && weight == 1.0f)
        return s;
    if (masked == 0 && weight == 0.5f)
        return ((d >> 1) & 0x7F7F7F7F) + ((s >> 1) & 0x7F7F7F7F);
    const int a = int(double(weight) * 256.0);
    if (a == 0)
        return d;
    Px D = Split(d);
    const Px S = Split(s);
    if (!(masked & 0x10000))
        return Join(Plain(kind, D, S, a));

    const int sa = S.c[3];
    const int e = a * (sa + 1) / 256;
    switch (kind) {
    case 0:
        if (sa == 0)
            return d;
        if (a == 256) {
            if (sa == 255)
                return s;
            for (int i = 0; i < 3; ++i)
                D.c[i] = S.c[i] + (D.c[i] - S.c[i]) * (255 - sa) / 256;
            D.c[3] = std::min(255, D.c[3] + sa);
            return Join(D);
        }
        D.c[3] = std::min(255, D.c[3] + e);
        for (int i = 0; i < 3; ++i)
            D.c[i] = S.c[i] + (D.c[i] - S.c[i]) * (256 - e) / 256;
        return Join(D);
    case 1:
        if (sa == 0)
            return d;
        for (int i = 0; i < 4; ++i)
            D.c[i] = Clamp(D.c[i] + S.c[i] * e / 256);
        return Join(D);
    case 3:
        if (sa == 0)
            return d;
        for (int i = 0; i < 4; ++i)
            D.c[i] = (S.c[i] * e + (256 - e) * 256) * D.c[i] >> 16;
        return Join(D);
    case 2:
    case 4:
    case 5: return Join(Plain(kind, D, S, e));
    default: return d;
    }
}

uint32_t RefFill(uint32_t d, uint32_t colour, float weight, int32_t mode)
{
    if (mode & 0x10000)
        weight = weight * (float(colour >> 24) / 255.0f);
    if (weight == 0.0f)
        return d;
    const int a = int(double(weight) * 256.0);
    const int kind = mode & 0xFF;
    if (kind == 0) {
        const uint32_t half = 0x7F7F7F7F, quarter = 0x3F3F3F3F;
        if (a == 256)
            return colour;
        if (a == 128)
            return ((colour >> 1) & half) + ((d >> 1) & half);
        if (a == 64)
            return ((d >> 1) & half) + ((d >> 2) & quarter) + ((colour >> 2) & quarter);
        if (a == 192)
            return ((colour >> 2) & quarter) + ((d >> 2) & quarter) + ((colour >> 1) & half);
    }
    if (a == 0 || kind > 5)
        return d;
    Px S = Split(colour);
    S.c[3] = a;
    return Join(Plain(kind, Split(d), S, a));
}
