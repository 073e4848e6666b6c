#pragma once

#include <cstddef>
#include <cstdint>

#include "pix/PIX_Pixel32.h"

// A rectangle of 32-bit pixels. Row r of the image lives at stored row r, or
// at Height() - 1 - r for bottom-up storage; PIX_RowPointer applies the rule.
class PIX_IBitmap {
public:
    virtual ~PIX_IBitmap() {}
    virtual PIX_Pixel32* Pixels() const = 0;   // stored row 0, or none
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual int32_t Stride() const = 0;   // pixels from one stored row to the next
    virtual bool IsBottomUp() const { return false; }
    virtual bool Resize(int32_t width, int32_t height) = 0;
    virtual void* DeviceContext() const { return nullptr; }
    virtual intptr_t Extension(int32_t code, void* data)
    {
        (void)code;
        (void)data;
        return 0;
    }
};

// Address of image row `row` (0 = top) given the bitmap's stored row 0.
inline PIX_Pixel32* PIX_RowPointer(const PIX_IBitmap& bitmap, PIX_Pixel32* base, int32_t row)
{
    const int32_t stored = bitmap.IsBottomUp() ? bitmap.Height() - 1 - row : row;
    return base + static_cast<ptrdiff_t>(stored) * bitmap.Stride();
}

// Distance in pixels from one image row to the next one down.
inline ptrdiff_t PIX_RowStep(const PIX_IBitmap& bitmap)
{
    return bitmap.IsBottomUp() ? -static_cast<ptrdiff_t>(bitmap.Stride()) : static_cast<ptrdiff_t>(bitmap.Stride());
}
