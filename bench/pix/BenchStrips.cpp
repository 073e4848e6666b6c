#include "pix/BenchStrips.h"

#include "pix/EmbeddedResource.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"

#include <map>
#include <memory>

const PIX_MemBitmap* BenchStrips::Get(int32_t id)
{
    static std::map<int32_t, std::unique_ptr<PIX_MemBitmap>> strips;
    auto it = strips.find(id);
    if (it != strips.end())
        return it->second.get();
    const unsigned char* data = nullptr;
    size_t size = 0;
    PIX_MemBitmap* bitmap = FindEmbeddedResource(id, &data, &size) ? PIX_PngFromMemory(data, size) : nullptr;
    strips[id].reset(bitmap);
    return bitmap;
}
