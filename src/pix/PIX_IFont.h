#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"
#include "pix/PIX_Pixel32.h"
#include "pix/PIX_Rect.h"

// A platform font: an HFONT on Windows, a FreeType face elsewhere. Created and
// deleted through PIX_FontPlatform.
using PIX_FontHandle = void*;

// Font flags (SetFromHandle).
constexpr uint32_t FONT_VERTICAL = 0x1;   // maps turned by 90 degrees, text runs downward
constexpr uint32_t FONT_REVERSED = 0x2;   // with FONT_VERTICAL: turned the other way, runs upward
constexpr uint32_t FONT_PRERENDER = 0x4;   // characters 0..127 at once, never 128 and above
constexpr uint32_t FONT_BLUR = 0x10;
constexpr uint32_t FONT_INVERT = 0x20;
constexpr uint32_t FONT_MONO = 0x40;
constexpr uint32_t FONT_SHADOW = 0x80;
constexpr uint32_t FONT_OUTLINE = 0x100;   // ignored with FONT_SHADOW
constexpr uint32_t FONT_OWNS_HANDLE = 0x200;
constexpr uint32_t FONT_NATIVE = 0x400;

// Text flags (RenderText): the values of the Windows DrawText format bits
// this library honours, so the native path hands them to GDI unchanged, plus
// two of its own in the top bits.
constexpr uint32_t PIX_DT_CENTER = 0x1;
constexpr uint32_t PIX_DT_RIGHT = 0x2;
constexpr uint32_t PIX_DT_VCENTER = 0x4;
constexpr uint32_t PIX_DT_BOTTOM = 0x8;
constexpr uint32_t PIX_DT_SINGLELINE = 0x20;
constexpr uint32_t PIX_DT_NOCLIP = 0x100;
constexpr uint32_t PIX_DT_CALCRECT = 0x400;
constexpr uint32_t TEXT_INK_ALPHA = 0x40000000;   // weight times the ink colour's alpha / 255
constexpr uint32_t TEXT_NO_NATIVE = 0x80000000;   // never draw natively

// Fill modes (SetFillMode).
constexpr int32_t PIX_FILL_TRANSPARENT = 1;
constexpr int32_t PIX_FILL_OPAQUE = 2;   // the background box of each glyph is filled

// Text drawing into PIX bitmaps.
class PIX_IFont {
public:
    virtual ~PIX_IFont() {}
    virtual void SetFromHandle(PIX_FontHandle font, uint32_t flags) = 0;
    virtual PIX_Pixel32 SetInkColor(PIX_Pixel32 colour) = 0;   // returns the previous one
    virtual PIX_Pixel32 SetFillColor(PIX_Pixel32 colour) = 0;   // returns the previous one
    virtual PIX_Pixel32 SetEffectColor(PIX_Pixel32 colour) = 0;   // returns the previous one
    virtual int32_t SetFillMode(int32_t mode) = 0;   // returns the previous one
    virtual void SetBlend(int32_t mode, float weight) = 0;
    // Draws `text` (UTF-8, `count` bytes or up to a NUL when negative) into
    // `rect` of `bitmap`, or with PIX_DT_CALCRECT measures it and rewrites `rect`.
    // Returns the height (horizontal text) or width (vertical text) of what
    // was drawn or measured.
    virtual int32_t RenderText(PIX_IBitmap* bitmap, const char* text, int32_t count, PIX_Rect* rect,
                               uint32_t flags) = 0;
    virtual PIX_Pixel32 InkColor() const = 0;
    virtual PIX_FontHandle FontHandle() const = 0;
    virtual int32_t LineHeight() const = 0;
};
