#pragma once

#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "pix/PIX_FontDesc.h"
#include "pix/PIX_IBitmap.h"

// A font away from Windows: one FreeType face found through fontconfig and
// sized the way a Windows logical font is. It is what a font handle points to.
class PIX_FreeTypeFace {
public:
    // None when neither the named face nor DejaVu Sans can be loaded.
    static PIX_FreeTypeFace* Open(const PIX_FontDesc& desc);
    ~PIX_FreeTypeFace();
    PIX_FreeTypeFace(const PIX_FreeTypeFace&) = delete;
    PIX_FreeTypeFace& operator=(const PIX_FreeTypeFace&) = delete;

    int32_t LineHeight() const { return ascent + descent; }
    int32_t Ascent() const { return ascent; }
    // Pen advance in whole pixels; 0 for characters that draw nothing.
    int32_t Advance(uint32_t ch);
    // Draws `ch` white on black, pen at (x, baseline), inside (0, 0, areaWidth, areaHeight).
    void Draw(uint32_t ch, PIX_IBitmap* target, int32_t x, int32_t areaWidth, int32_t areaHeight);

private:
    PIX_FreeTypeFace() = default;
    bool Load(const PIX_FontDesc& desc, bool fallback);
    bool LoadGlyph(uint32_t ch);

    FT_Face face = nullptr;
    int32_t ascent = 0;
    int32_t descent = 0;
    bool mono = false;
    bool embolden = false;
    bool oblique = false;
};
