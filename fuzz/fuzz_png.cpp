// PNG decoding from memory, any bytes: a bitmap with every pixel readable,
// or none.
#include "FuzzCheck.h"

#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PIX_MemBitmap* bitmap = PIX_PngFromMemory(data, size);
    if (!bitmap)
        return 0;
    FuzzCheck(bitmap->Width() > 0 && bitmap->Height() > 0, "a decoded bitmap has pixels");
    FuzzCheck(bitmap->Stride() >= bitmap->Width(), "rows are at least as wide as the bitmap");
    // Touch every pixel, so a short allocation shows.
    uint32_t sum = 0;
    const PIX_Pixel32* px = bitmap->Pixels();
    for (int32_t y = 0; y < bitmap->Height(); ++y)
        for (int32_t x = 0; x < bitmap->Width(); ++x)
            sum += px[static_cast<size_t>(y) * static_cast<size_t>(bitmap->Stride()) + static_cast<size_t>(x)];
    volatile uint32_t sink = sum;
    (void)sink;
    delete bitmap;
    return 0;
}
