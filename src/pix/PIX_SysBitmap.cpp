#include "pix/PIX_SysBitmap.h"

PIX_SysBitmap::PIX_SysBitmap()
{
    OpenDevice();
}

PIX_SysBitmap::PIX_SysBitmap(int32_t w, int32_t h)
{
    OpenDevice();
    Resize(w, h);
}

PIX_SysBitmap::~PIX_SysBitmap()
{
    ReleaseSurface();
    CloseDevice();
}

bool PIX_SysBitmap::Resize(int32_t w, int32_t h)
{
    if (!HasDevice()) {
        width = 0;
        height = 0;
        pixels = nullptr;
        return false;
    }
    if (w == width && h == height)
        return false;
    width = w;
    height = h;
    // A surface that is large enough is kept, so the window can be resized
    // without reallocating.
    if (w != 0 && h != 0 && allocWidth >= w && allocHeight >= h && pixels)
        return true;

    allocHeight = h;
    allocWidth = (w + 3) & ~3;
    ReleaseSurface();
    if (allocWidth < 1 || h < 1)
        return false;
    if (!CreateSurface()) {
        width = 0;
        height = 0;
        pixels = nullptr;
    }
    return true;
}
