// Text away from Windows: FreeType faces found through fontconfig, and no
// native text drawing, so every font draws from its glyph cache.
#include "pix/PIX_FontPlatform.h"

#include "pix/PIX_SysBitmap.h"
#include "pix/posix/PIX_FreeTypeFace.h"

namespace {

PIX_FreeTypeFace* Face(PIX_FontHandle font)
{
    return static_cast<PIX_FreeTypeFace*>(font);
}

}   // namespace

PIX_FontHandle PIX_FontPlatform::CreateFontHandle(const PIX_FontDesc& desc)
{
    return PIX_FreeTypeFace::Open(desc);
}

void PIX_FontPlatform::DeleteFontHandle(PIX_FontHandle font)
{
    delete Face(font);
}

void PIX_FontPlatform::PrepareScratch(PIX_SysBitmap*)
{
}

int32_t PIX_FontPlatform::LineHeight(PIX_FontHandle font, PIX_SysBitmap*)
{
    return font ? Face(font)->LineHeight() : 0;
}

void PIX_FontPlatform::MeasureGlyph(PIX_FontHandle font, PIX_SysBitmap*, uint32_t ch, int32_t* width, int32_t* height)
{
    *width = font ? Face(font)->Advance(ch) : 0;
    *height = font ? Face(font)->LineHeight() : 0;
}

void PIX_FontPlatform::DrawGlyph(PIX_FontHandle font, PIX_SysBitmap* scratch, uint32_t ch, int32_t x, int32_t areaWidth,
                                 int32_t areaHeight)
{
    if (font)
        Face(font)->Draw(ch, scratch, x, areaWidth, areaHeight);
}

bool PIX_FontPlatform::HasNativeText()
{
    return false;
}

// Unreachable here: HasNativeText() is false, so the cache draws everything.
int32_t PIX_FontPlatform::RenderNativeText(const PIX_CachedFont&, PIX_IBitmap*, const char*, int32_t, PIX_Rect*,
                                           uint32_t)
{
    return 0;
}
