#include "gui/win32/WinResourceImage.h"

#include "pix/PIX_Png.h"

#include <cstring>

namespace {

// A PNG signature alone is 8 bytes.
constexpr DWORD kMinPngSize = 8;

bool HasPngExtension(const char* fileName)
{
    const char* dot = fileName ? std::strrchr(fileName, '.') : nullptr;
    return dot && lstrcmpiA(dot + 1, "png") == 0;
}

}   // namespace

PIX_IBitmap* WinResourceImage::Load(HMODULE module, int32_t id, const char* fileName)
{
    if (!HasPngExtension(fileName))
        return nullptr;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    if (!found)
        return nullptr;
    const DWORD size = SizeofResource(module, found);
    if (size < kMinPngSize)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return nullptr;
    return PIX_PngFromMemory(data, size);
}
