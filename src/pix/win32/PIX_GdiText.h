#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"
#include "pix/PIX_Rect.h"

class PIX_CachedFont;

// Text drawn by GDI itself with a cached font's handle, colours and weight:
// straight into a bitmap that has a device context, through the native
// scratch into one that has none, or only measured.
class PIX_GdiText {
public:
    // `flags` are DrawText format bits (this library's own top bits clear).
    // Returns what DrawText returns: the height of the text.
    static int32_t Render(const PIX_CachedFont& font, PIX_IBitmap* bitmap, const char* text, int32_t count,
                          PIX_Rect* rect, uint32_t flags);

    // Whether the bytes hold a complete multi-byte UTF-8 sequence, which makes
    // GDI get the text as UTF-16 rather than as bytes.
    static bool HasUtf8Sequence(const char* text, int32_t length);

    // True while the process runs under Wine (looked up once).
    static bool RunningUnderWine();
};
