#pragma once

#include <cstdint>

#include "pix/PIX_FontDesc.h"
#include "pix/PIX_IFont.h"

class PIX_CachedFont;
class PIX_SysBitmap;

// The platform side of text: font handles and their metrics, drawing one
// character into the glyph scratch as white on black (the cache takes the red
// byte as coverage), and native text drawing where the platform has it.
// FreeType and fontconfig off Windows (posix/), GDI on Windows (win32/).
class PIX_FontPlatform {
public:
    // None when no font can be made from the description.
    static PIX_FontHandle CreateFontHandle(const PIX_FontDesc& desc);
    static void DeleteFontHandle(PIX_FontHandle font);

    // Called whenever the glyph scratch has been grown.
    static void PrepareScratch(PIX_SysBitmap* scratch);

    static int32_t LineHeight(PIX_FontHandle font, PIX_SysBitmap* scratch);

    // Size of the single character drawn on one line: its advance and the
    // line height. A width of 0 means the character draws nothing.
    static void MeasureGlyph(PIX_FontHandle font, PIX_SysBitmap* scratch, uint32_t ch, int32_t* width, int32_t* height);

    // Draws the character white on black with its pen at (x, 0) and its line
    // box starting at row 0, touching only (0, 0) .. (areaWidth, areaHeight).
    static void DrawGlyph(PIX_FontHandle font, PIX_SysBitmap* scratch, uint32_t ch, int32_t x, int32_t areaWidth,
                          int32_t areaHeight);

    // Whether text may be handed to the platform's own text drawing at all.
    static bool HasNativeText();
    // Draws or measures through the platform; only called when HasNativeText().
    static int32_t RenderNativeText(const PIX_CachedFont& font, PIX_IBitmap* bitmap, const char* text, int32_t count,
                                    PIX_Rect* rect, uint32_t flags);
};
