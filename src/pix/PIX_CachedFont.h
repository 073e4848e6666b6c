#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pix/PIX_IFont.h"

class PIX_SysBitmap;

// Text drawn from a cache of 8-bit coverage maps, one per character, which
// the platform rasterises once per font and the cache then blends into any
// bitmap with the combine modes of the bitmap library.
class PIX_CachedFont : public PIX_IFont {
public:
    struct GlyphRecord {
        int32_t offset;   // coverage store offset + 1; 0 not rendered yet, -1 renders empty
        int32_t width;   // map width
        int32_t height;   // map height
        int32_t advance;   // the character's drawn width
        uint32_t code;   // character code (array of codes 128 and above only)
        int32_t bearing;   // pixels the map extends before the pen
    };

    PIX_CachedFont();
    PIX_CachedFont(PIX_FontHandle font, uint32_t flags);
    ~PIX_CachedFont() override;
    PIX_CachedFont(const PIX_CachedFont&) = delete;
    PIX_CachedFont& operator=(const PIX_CachedFont&) = delete;

    void SetFromHandle(PIX_FontHandle font, uint32_t flags) override;
    PIX_Pixel32 SetInkColor(PIX_Pixel32 colour) override;
    PIX_Pixel32 SetFillColor(PIX_Pixel32 colour) override;
    PIX_Pixel32 SetEffectColor(PIX_Pixel32 colour) override;
    int32_t SetFillMode(int32_t mode) override;
    void SetBlend(int32_t mode, float weight) override;
    int32_t RenderText(PIX_IBitmap* bitmap, const char* text, int32_t count, PIX_Rect* rect, uint32_t flags) override;
    PIX_Pixel32 InkColor() const override { return inkColor; }
    PIX_FontHandle FontHandle() const override { return font; }
    int32_t LineHeight() const override { return lineHeight; }

    // Blends the cached glyph of `ch` with its pen at (x, y), clipped to
    // `clip`. False when the glyph is not cached or nothing of it is visible.
    virtual bool PaintGlyph(PIX_IBitmap* bitmap, uint32_t ch, int32_t x, int32_t y, const PIX_Rect& clip);

    PIX_Pixel32 FillColor() const { return fillColor; }
    PIX_Pixel32 EffectColor() const { return effectColor; }
    int32_t FillMode() const { return fillMode; }
    int32_t BlendMode() const { return blendMode; }
    float Weight() const { return weight; }
    uint32_t Flags() const { return fontFlags; }
    void SetExtraLineSpacing(int32_t pixels) { extraLineSpacing = pixels; }
    int32_t ExtraLineSpacing() const { return extraLineSpacing; }

    // The record of `ch`, or none; the record may not be rendered yet.
    const GlyphRecord* FindGlyph(uint32_t ch) const;
    // The coverage map of a rendered record, row by row, or none.
    const uint8_t* GlyphCoverage(const GlyphRecord& glyph) const;
    // How often this font has asked the platform to rasterise a character.
    int32_t RasterizeCount() const { return rasterizeCount; }

    static int32_t LiveFontCount();
    // The process-wide scratch of the platform's native text drawing, grown
    // to at least width x height; none when it cannot be made.
    static PIX_SysBitmap* NativeScratch(int32_t width, int32_t height);

private:
    struct Extent {
        int32_t width;
        int32_t height;
    };

    const GlyphRecord* RasterizeGlyph(uint32_t ch);
    const GlyphRecord* DrawableGlyph(uint32_t ch);
    template <class OnGlyph, class OnBreak>
    void WalkText(const char* text, int32_t count, bool singleLine, OnGlyph onGlyph, OnBreak onBreak);
    Extent Measure(const char* text, int32_t count, bool singleLine);
    int32_t DrawCached(PIX_IBitmap* bitmap, const char* text, int32_t count, const PIX_Rect& rect, uint32_t flags);
    bool BlendGlyph(PIX_IBitmap* bitmap, const GlyphRecord& glyph, int32_t x, int32_t y, const PIX_Rect& clip,
                    float drawWeight) const;
    bool UsesNativePath(uint32_t flags) const;
    void ShapeMap(size_t start, int32_t* width, int32_t* height);
    void ResetGlyphs();

    PIX_Pixel32 inkColor = 0;
    PIX_Pixel32 fillColor = 0xFFFFFFFFu;
    PIX_Pixel32 effectColor = 0xFFFFFFFFu;
    int32_t fillMode = PIX_FILL_TRANSPARENT;
    int32_t blendMode = 0;
    float weight = 1.0f;
    uint32_t fontFlags = 0;
    int32_t lineHeight = 0;
    int32_t extraLineSpacing = 0;
    GlyphRecord fixedGlyphs[128] = {};
    std::vector<uint8_t> store;   // every rendered map, row by row
    std::vector<GlyphRecord> sortedGlyphs;   // codes 128 and above, by code
    PIX_FontHandle font = nullptr;
    int32_t rasterizeCount = 0;
};
