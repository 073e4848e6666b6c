// Any UTF-8 drawn with the cached font into a small bitmap, with any font
// flags, text flags, colours and rectangle, and measured.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FontPlatform.h"
#include "pix/PIX_MemBitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Opening a face is slow; the handles live for the whole run. Each input
// gets its own cache of glyphs.
PIX_FontHandle HandleFor(int which)
{
    static PIX_FontHandle handles[4] = {};
    static const int32_t heights[4] = {-11, 14, -24, 0};
    if (!handles[which]) {
        PIX_FontDesc desc;
        desc.height = heights[which];
        desc.weight = which == 2 ? 700 : 400;
        desc.quality = which;
        std::strncpy(desc.faceName, which == 1 ? "DejaVu Sans Mono" : "DejaVu Sans", sizeof desc.faceName - 1);
        handles[which] = PIX_FontPlatform::CreateFontHandle(desc);
    }
    return handles[which];
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t which = in.U8() % 4;
    const uint32_t fontFlags = in.U16() & ~FONT_OWNS_HANDLE;
    const uint32_t textFlags = in.U32() &
        (PIX_DT_CENTER | PIX_DT_RIGHT | PIX_DT_VCENTER | PIX_DT_BOTTOM | PIX_DT_SINGLELINE | PIX_DT_NOCLIP |
         PIX_DT_CALCRECT | TEXT_INK_ALPHA | TEXT_NO_NATIVE);
    const uint32_t ink = in.U32();
    const uint8_t fill = in.U8();
    const int32_t left = static_cast<int8_t>(in.U8());
    const int32_t top = static_cast<int8_t>(in.U8());
    const int32_t width = in.U8() % 96;
    const int32_t height = in.U8() % 48;
    const uint8_t countMode = in.U8();
    std::vector<char> text(reinterpret_cast<const char*>(in.Here()),
                           reinterpret_cast<const char*>(in.Here()) + in.Remaining());
    text.push_back('\0');

    PIX_FontHandle handle = HandleFor(which);
    if (!handle)
        return 0;
    PIX_CachedFont font(handle, fontFlags);
    font.SetInkColor(ink);
    font.SetFillColor(~ink);
    font.SetEffectColor(ink ^ 0x00FF00FFu);
    font.SetFillMode(fill & 1 ? PIX_FILL_OPAQUE : PIX_FILL_TRANSPARENT);
    font.SetBlend(fill >> 4, (fill & 0x0E) / 14.0f);

    PIX_MemBitmap bitmap;
    bitmap.Resize(64, 32);
    std::memset(bitmap.Pixels(), 0x80, static_cast<size_t>(bitmap.Stride()) * 32 * sizeof(PIX_Pixel32));
    // The whole text, a NUL-terminated run, or a count cut anywhere.
    const int32_t all = static_cast<int32_t>(text.size() - 1);
    const int32_t count = countMode % 3 == 0 ? -1 : countMode % 3 == 1 ? all : (all ? countMode % (all + 1) : 0);

    PIX_Rect rect{left, top, left + width, top + height};
    font.RenderText(&bitmap, text.data(), count, &rect, textFlags);
    PIX_Rect measured{0, 0, 64, 32};
    const int32_t h = font.RenderText(&bitmap, text.data(), count, &measured, textFlags | PIX_DT_CALCRECT);
    FuzzCheck(h >= 0, "a measured text has no negative size");
    return 0;
}
