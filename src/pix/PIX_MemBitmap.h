#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"

// A bitmap in heap memory: pixel block aligned to 64 bytes, rows padded to a
// multiple of 4 pixels. Storage grows with 25 % headroom and never shrinks,
// so a surface resized back and forth does not reallocate each time.
class PIX_MemBitmap : public PIX_IBitmap {
public:
    PIX_MemBitmap() = default;
    ~PIX_MemBitmap() override;
    PIX_MemBitmap(const PIX_MemBitmap&) = delete;
    PIX_MemBitmap& operator=(const PIX_MemBitmap&) = delete;

    PIX_Pixel32* Pixels() const override;
    int32_t Width() const override { return width; }
    int32_t Height() const override { return height; }
    int32_t Stride() const override { return (width + rowMask) & ~rowMask; }
    bool Resize(int32_t w, int32_t h) override;

    // Bytes usable in the pixel block, alignment slack not counted.
    int32_t Capacity() const { return capacity; }

private:
    void* buffer = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t capacity = 0;
    int32_t rowMask = 3;
};
