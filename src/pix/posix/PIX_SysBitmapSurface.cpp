// The drawing surface away from Windows: aligned heap memory, no device context.
#include "pix/PIX_SysBitmap.h"

#include <cstdlib>
#include <limits>

void PIX_SysBitmap::OpenDevice()
{
}

void PIX_SysBitmap::CloseDevice()
{
}

bool PIX_SysBitmap::HasDevice() const
{
    return true;
}

bool PIX_SysBitmap::CreateSurface()
{
    const int64_t bytes = static_cast<int64_t>(allocWidth) * allocHeight * 4;
    if (bytes <= 0 || bytes > std::numeric_limits<int32_t>::max())
        return false;
    void* block = nullptr;
    if (posix_memalign(&block, 64, static_cast<size_t>(bytes)) != 0)
        return false;
    surface = block;
    pixels = static_cast<PIX_Pixel32*>(block);
    return true;
}

void PIX_SysBitmap::ReleaseSurface()
{
    std::free(surface);
    surface = nullptr;
    pixels = nullptr;
}
