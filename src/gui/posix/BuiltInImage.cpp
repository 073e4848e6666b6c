#include "gui/BuiltInImage.h"

#include "pix/EmbeddedResource.h"
#include "pix/PIX_Png.h"

#include <cstddef>
#include <cstring>

namespace {

// A PNG resource has at least its 8-byte signature.
constexpr size_t kMinPngSize = 8;

bool HasPngExtension(const char* fileName)
{
    const char* dot = fileName ? std::strrchr(fileName, '.') : nullptr;
    if (!dot)
        return false;
    const char* ext = dot + 1;
    const char* png = "png";
    for (int i = 0; i < 3; ++i) {
        if ((ext[i] | 0x20) != png[i])
            return false;
    }
    return ext[3] == '\0';
}

}   // namespace

PIX_IBitmap* LoadBuiltInImage(int32_t id, const char* fileName)
{
    if (!HasPngExtension(fileName))
        return nullptr;
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindEmbeddedResource(id, &data, &size) || size < kMinPngSize)
        return nullptr;
    return PIX_PngFromMemory(data, size);
}
