#pragma once

// Helpers shared by the font and text tests.

#include <cstdint>
#include <cstring>
#include <memory>

#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FontPlatform.h"
#include "pix/PIX_MemBitmap.h"

// A font on a face that owns its handle. Negative heights give the em size in
// pixels, which tests can reproduce with FreeType directly.
inline std::unique_ptr<PIX_CachedFont> NewFont(int32_t height, uint32_t flags = 0, const char* face = "DejaVu Sans",
                                               int32_t quality = 0)
{
    PIX_FontDesc desc;
    desc.height = height;
    desc.quality = quality;
    std::strncpy(desc.faceName, face, sizeof(desc.faceName) - 1);
    PIX_FontHandle handle = PIX_FontPlatform::CreateFontHandle(desc);
    if (!handle)
        return nullptr;
    return std::unique_ptr<PIX_CachedFont>(new PIX_CachedFont(handle, flags | FONT_OWNS_HANDLE));
}

// A bitmap filled with one colour.
inline std::unique_ptr<PIX_MemBitmap> NewCanvas(int32_t width, int32_t height, PIX_Pixel32 colour)
{
    std::unique_ptr<PIX_MemBitmap> bitmap(new PIX_MemBitmap());
    bitmap->Resize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            bitmap->Pixels()[y * bitmap->Stride() + x] = colour;
    return bitmap;
}

inline PIX_Pixel32 PixelAt(const PIX_IBitmap& bitmap, int32_t x, int32_t y)
{
    const int32_t row = bitmap.IsBottomUp() ? bitmap.Height() - 1 - y : y;
    return bitmap.Pixels()[row * bitmap.Stride() + x];
}

// Ink of black text on a white canvas: 0 where untouched, 255 where solid.
inline int32_t InkAt(const PIX_IBitmap& bitmap, int32_t x, int32_t y)
{
    return 255 - static_cast<int32_t>((PixelAt(bitmap, x, y) >> 16) & 0xFF);
}

// Bounding box of pixels whose ink exceeds `threshold` inside the given
// columns; right and bottom exclusive, empty (0, 0, 0, 0) when none.
struct InkBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left; }
};

inline InkBox FindInk(const PIX_IBitmap& bitmap, int32_t threshold = 0, int32_t fromX = 0, int32_t toX = -1)
{
    if (toX < 0)
        toX = bitmap.Width();
    InkBox box;
    bool any = false;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = fromX; x < toX; ++x)
            if (InkAt(bitmap, x, y) > threshold) {
                if (!any) {
                    box = InkBox{x, y, x + 1, y + 1};
                    any = true;
                }
                box.left = x < box.left ? x : box.left;
                box.right = x + 1 > box.right ? x + 1 : box.right;
                box.top = y < box.top ? y : box.top;
                box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
            }
    return box;
}

inline bool SamePicture(const PIX_IBitmap& a, const PIX_IBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x)
            if (PixelAt(a, x, y) != PixelAt(b, x, y))
                return false;
    return true;
}
