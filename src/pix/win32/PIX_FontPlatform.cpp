// Text on Windows: GDI fonts, glyphs rasterised by DrawTextW into the glyph
// scratch, and GDI's own text drawing where it draws as the cache would.
#include "pix/PIX_FontPlatform.h"

#include "pix/PIX_SysBitmap.h"
#include "pix/win32/PIX_GdiText.h"

#include <windows.h>

namespace {

constexpr UINT kGlyphFormat = DT_NOPREFIX | DT_SINGLELINE;

HDC Dc(PIX_SysBitmap* scratch)
{
    return scratch ? static_cast<HDC>(scratch->DeviceContext()) : nullptr;
}

DWORD GdiQuality(int32_t quality)
{
    switch (quality) {
    case 1: return NONANTIALIASED_QUALITY;
    case 2: return ANTIALIASED_QUALITY;
    case 3: return CLEARTYPE_QUALITY;
    default: return DEFAULT_QUALITY;
    }
}

}   // namespace

PIX_FontHandle PIX_FontPlatform::CreateFontHandle(const PIX_FontDesc& desc)
{
    char face[sizeof desc.faceName + 1] = {};
    for (size_t i = 0; i < sizeof desc.faceName && desc.faceName[i]; ++i)
        face[i] = desc.faceName[i];
    return CreateFontA(desc.height, 0, desc.escapement, desc.orientation, desc.weight, desc.italic ? TRUE : FALSE, 0, 0,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, GdiQuality(desc.quality),
                       DEFAULT_PITCH, face);
}

void PIX_FontPlatform::DeleteFontHandle(PIX_FontHandle font)
{
    if (font)
        DeleteObject(static_cast<HFONT>(font));
}

void PIX_FontPlatform::PrepareScratch(PIX_SysBitmap* scratch)
{
    // White text on an opaque black background: red is coverage.
    if (HDC dc = Dc(scratch)) {
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(0, 0, 0));
    }
}

int32_t PIX_FontPlatform::LineHeight(PIX_FontHandle font, PIX_SysBitmap* scratch)
{
    HDC dc = Dc(scratch);
    if (!font || !dc)
        return 0;
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
    TEXTMETRICA metrics = {};
    const BOOL ok = GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    return ok ? metrics.tmHeight : 0;
}

void PIX_FontPlatform::MeasureGlyph(PIX_FontHandle font, PIX_SysBitmap* scratch, uint32_t ch, int32_t* width,
                                    int32_t* height)
{
    *width = 0;
    *height = 0;
    HDC dc = Dc(scratch);
    if (!font || !dc)
        return;
    const wchar_t c = static_cast<wchar_t>(ch);
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, &c, 1, &r, kGlyphFormat | DT_CALCRECT);
    SelectObject(dc, previous);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
}

void PIX_FontPlatform::DrawGlyph(PIX_FontHandle font, PIX_SysBitmap* scratch, uint32_t ch, int32_t x, int32_t areaWidth,
                                 int32_t areaHeight)
{
    HDC dc = Dc(scratch);
    if (!font || !dc)
        return;
    const wchar_t c = static_cast<wchar_t>(ch);
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
    RECT r = {x, 0, areaWidth, areaHeight};
    DrawTextW(dc, &c, 1, &r, kGlyphFormat | DT_NOCLIP);
    SelectObject(dc, previous);
    // The cache reads the pixels next.
    GdiFlush();
}

bool PIX_FontPlatform::HasNativeText()
{
    // Wine's GDI text differs from Windows' own; there the cache draws.
    return !PIX_GdiText::RunningUnderWine();
}

int32_t PIX_FontPlatform::RenderNativeText(const PIX_CachedFont& font, PIX_IBitmap* bitmap, const char* text,
                                           int32_t count, PIX_Rect* rect, uint32_t flags)
{
    return PIX_GdiText::Render(font, bitmap, text, count, rect, flags & ~(TEXT_INK_ALPHA | TEXT_NO_NATIVE));
}
