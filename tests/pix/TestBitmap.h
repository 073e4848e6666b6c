#pragma once

#include <cstdint>
#include <vector>

#include "pix/PIX_IBitmap.h"

// A bitmap over a plain vector with free choice of row padding and row order.
// It counts the calls to Pixels() so tests can see whether memory was touched.
class TestBitmap : public PIX_IBitmap {
public:
    TestBitmap(int32_t w, int32_t h, int32_t padding, bool bottomUp, PIX_Pixel32 fill = 0)
        : width(w),
          height(h),
          stride(w + padding),
          padding(padding),
          bottomUp(bottomUp),
          storage(static_cast<size_t>(stride) * static_cast<size_t>(h), fill)
    {
    }

    PIX_Pixel32* Pixels() const override
    {
        ++pixelsCalls;
        return storage.empty() ? nullptr : const_cast<PIX_Pixel32*>(storage.data());
    }
    int32_t Width() const override { return width; }
    int32_t Height() const override { return height; }
    int32_t Stride() const override { return stride; }
    bool IsBottomUp() const override { return bottomUp; }
    bool Resize(int32_t w, int32_t h) override
    {
        if (w == width && h == height)
            return false;
        width = w;
        height = h;
        stride = w + padding;
        storage.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0xDEADBEEFu);
        return true;
    }

    // Pixel (x, y) of the picture, y = 0 at the top.
    PIX_Pixel32& At(int32_t x, int32_t y)
    {
        const int32_t stored = bottomUp ? height - 1 - y : y;
        return storage[static_cast<size_t>(stored) * static_cast<size_t>(stride) + static_cast<size_t>(x)];
    }

    int32_t width;
    int32_t height;
    int32_t stride;
    int32_t padding;
    bool bottomUp;
    std::vector<PIX_Pixel32> storage;
    mutable int pixelsCalls = 0;
};
