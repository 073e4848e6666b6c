#include "pix/PIX_CachedFont.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "pix/PIX_BlurRect.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_FillArea.h"
#include "pix/PIX_FontPlatform.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_SysBitmap.h"
#include "pix/PIX_Utf8Decoder.h"

static_assert(sizeof(PIX_CachedFont::GlyphRecord) == 24, "glyph records are 24 bytes");

namespace {

// Shared by every font of the process and used on the user-interface thread
// only; the scratches live while any font does.
int32_t g_liveFonts = 0;
PIX_SysBitmap* g_glyphScratch = nullptr;
PIX_SysBitmap* g_nativeScratch = nullptr;

constexpr size_t kStoreGranularity = 4096;
constexpr size_t kArrayGranularity = 65536;
constexpr int32_t kMaxCachedLineHeight = 1023;
constexpr int32_t kMaxCachedDrawHeight = 255;   // taller fonts go to native text where there is one
constexpr uint32_t kEffectFlags = FONT_MONO | FONT_SHADOW | FONT_OUTLINE;
// Effects only the cache can draw.
constexpr uint32_t kCacheOnlyFlags =
    FONT_VERTICAL | FONT_REVERSED | FONT_PRERENDER | FONT_BLUR | FONT_INVERT | FONT_MONO | FONT_SHADOW | FONT_OUTLINE;
constexpr uint32_t kAlignFlags = PIX_DT_CENTER | PIX_DT_RIGHT | PIX_DT_VCENTER | PIX_DT_BOTTOM;

PIX_SysBitmap* GrowScratch(PIX_SysBitmap*& scratch, int32_t width, int32_t height, bool glyph)
{
    if (!scratch)
        scratch = new PIX_SysBitmap();
    if (scratch->Width() < width || scratch->Height() < height || !scratch->Pixels()) {
        scratch->Resize(std::max(scratch->Width(), width), std::max(scratch->Height(), height));
        if (glyph)
            PIX_FontPlatform::PrepareScratch(scratch);
    }
    return scratch->Pixels() ? scratch : nullptr;
}

int32_t Margin(int32_t lineHeight)
{
    return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}

// Glyph maps of one-bit fonts: 255 draws the ink, 128 the effect colour.
PIX_Pixel32 BlendOneBit(int32_t kind, PIX_Pixel32 d, PIX_Pixel32 colour, int32_t a)
{
    if (kind == PIX_MODE_COPY && a == 256)
        return colour;
    return PIX_CombinePlain(kind, d, colour, 255, a);
}

// Anti-aliased maps: the coverage v scales the weight. Multiply darkens the
// colour only; text never makes the surface more transparent.
PIX_Pixel32 BlendCoverage(int32_t kind, PIX_Pixel32 d, PIX_Pixel32 ink, int32_t a, int32_t v)
{
    const int32_t w = a == 256 ? v + 1 : std::min(a * v / 256, 256);
    if (kind == PIX_MODE_MULTIPLY)
        return PIX_PackPixel(PIX_MultiplyChannel(PIX_Channel(d, 0), PIX_Channel(ink, 0), w),
                             PIX_MultiplyChannel(PIX_Channel(d, 1), PIX_Channel(ink, 1), w),
                             PIX_MultiplyChannel(PIX_Channel(d, 2), PIX_Channel(ink, 2), w), PIX_Channel(d, 3));
    return PIX_CombinePlain(kind, d, ink, 255, w);
}

}   // namespace

PIX_CachedFont::PIX_CachedFont()
{
    ++g_liveFonts;
}

PIX_CachedFont::PIX_CachedFont(PIX_FontHandle handle, uint32_t flags)
{
    ++g_liveFonts;
    SetFromHandle(handle, flags);
}

PIX_CachedFont::~PIX_CachedFont()
{
    if ((fontFlags & FONT_OWNS_HANDLE) && font)
        PIX_FontPlatform::DeleteFontHandle(font);
    if (--g_liveFonts == 0) {
        delete g_glyphScratch;
        g_glyphScratch = nullptr;
        delete g_nativeScratch;
        g_nativeScratch = nullptr;
    }
}

int32_t PIX_CachedFont::LiveFontCount()
{
    return g_liveFonts;
}

PIX_SysBitmap* PIX_CachedFont::NativeScratch(int32_t width, int32_t height)
{
    return GrowScratch(g_nativeScratch, std::max(width, 4), std::max(height, 4), false);
}

void PIX_CachedFont::SetFromHandle(PIX_FontHandle handle, uint32_t flags)
{
    if ((fontFlags & FONT_OWNS_HANDLE) && font && font != handle)
        PIX_FontPlatform::DeleteFontHandle(font);
    fontFlags = flags;
    font = handle;
    lineHeight = 0;
    if (font)
        lineHeight = PIX_FontPlatform::LineHeight(font, GrowScratch(g_glyphScratch, 256, 256, true));
    ResetGlyphs();
    if (font && (fontFlags & FONT_PRERENDER))
        for (uint32_t ch = 0; ch < 128; ++ch)
            RasterizeGlyph(ch);
}

void PIX_CachedFont::ResetGlyphs()
{
    std::memset(fixedGlyphs, 0, sizeof(fixedGlyphs));
    store.clear();
    sortedGlyphs.clear();
}

PIX_Pixel32 PIX_CachedFont::SetInkColor(PIX_Pixel32 colour)
{
    const PIX_Pixel32 previous = inkColor;
    inkColor = colour;
    return previous;
}

PIX_Pixel32 PIX_CachedFont::SetFillColor(PIX_Pixel32 colour)
{
    const PIX_Pixel32 previous = fillColor;
    fillColor = colour;
    return previous;
}

PIX_Pixel32 PIX_CachedFont::SetEffectColor(PIX_Pixel32 colour)
{
    const PIX_Pixel32 previous = effectColor;
    effectColor = colour;
    return previous;
}

int32_t PIX_CachedFont::SetFillMode(int32_t mode)
{
    const int32_t previous = fillMode;
    fillMode = mode;
    return previous;
}

void PIX_CachedFont::SetBlend(int32_t mode, float newWeight)
{
    blendMode = mode;
    weight = newWeight;
}

const PIX_CachedFont::GlyphRecord* PIX_CachedFont::FindGlyph(uint32_t ch) const
{
    if (ch < 128)
        return &fixedGlyphs[ch];
    const auto it = std::lower_bound(sortedGlyphs.begin(), sortedGlyphs.end(), ch,
                                     [](const GlyphRecord& g, uint32_t code) { return g.code < code; });
    return it != sortedGlyphs.end() && it->code == ch ? &*it : nullptr;
}

const uint8_t* PIX_CachedFont::GlyphCoverage(const GlyphRecord& glyph) const
{
    if (glyph.offset <= 0 || static_cast<size_t>(glyph.offset) > store.size())
        return nullptr;
    return store.data() + glyph.offset - 1;
}

const PIX_CachedFont::GlyphRecord* PIX_CachedFont::RasterizeGlyph(uint32_t ch)
{
    if (!font || lineHeight > kMaxCachedLineHeight)
        return nullptr;

    GlyphRecord* record;
    if (ch < 128) {
        record = &fixedGlyphs[ch];
    } else {
        auto it = std::lower_bound(sortedGlyphs.begin(), sortedGlyphs.end(), ch,
                                   [](const GlyphRecord& g, uint32_t code) { return g.code < code; });
        if (it == sortedGlyphs.end() || it->code != ch) {
            if (fontFlags & FONT_PRERENDER)
                return nullptr;
            if (sortedGlyphs.size() == sortedGlyphs.capacity()) {
                const size_t bytes = (sortedGlyphs.size() + 1) * sizeof(GlyphRecord);
                const size_t rounded = (bytes + kArrayGranularity - 1) / kArrayGranularity * kArrayGranularity;
                const ptrdiff_t at = it - sortedGlyphs.begin();
                sortedGlyphs.reserve(rounded / sizeof(GlyphRecord));
                it = sortedGlyphs.begin() + at;
            }
            GlyphRecord fresh = {};
            fresh.code = ch;
            it = sortedGlyphs.insert(it, fresh);
        }
        record = &*it;
    }

    const int32_t side = 2 * std::max(lineHeight, 1) + 8;
    PIX_SysBitmap* scratch = GrowScratch(g_glyphScratch, side, side, true);
    if (!scratch)
        return nullptr;
    ++rasterizeCount;
    const int32_t margin = Margin(lineHeight);
    int32_t width = 0;
    int32_t height = 0;
    PIX_FontPlatform::MeasureGlyph(font, scratch, ch, &width, &height);
    width = std::min(width, scratch->Width());
    int32_t fullWidth = std::min(width + 2 * margin, scratch->Width());
    height = std::min(height, scratch->Height());
    if (width < 1 || height < 1) {
        *record = GlyphRecord{-1, 0, 0, 0, ch, 0};
        return record;
    }
    const size_t start = store.size();
    const size_t bytes = static_cast<size_t>(fullWidth) * static_cast<size_t>(height);
    if (start + bytes >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return nullptr;
    PIX_FillArea(scratch, 0, 0, fullWidth, height, 0, 1.0f, PIX_MODE_COPY);
    PIX_FontPlatform::DrawGlyph(font, scratch, ch, margin, fullWidth, height);

    record->advance = width;
    if (fontFlags & FONT_BLUR)
        PIX_BlurRect(scratch, fullWidth, height);

    if (store.capacity() < start + bytes)
        store.reserve((start + bytes + kStoreGranularity - 1) / kStoreGranularity * kStoreGranularity);
    store.resize(start + bytes);
    // Copy the red bytes, finding how far ink reaches into the margins.
    const bool invert = (fontFlags & FONT_INVERT) != 0;
    int32_t inkLeft = std::min(margin, fullWidth);
    int32_t inkRight = std::min(width + margin, fullWidth);
    PIX_Pixel32* pixels = scratch->Pixels();
    for (int32_t y = 0; y < height; ++y) {
        const PIX_Pixel32* src = PIX_RowPointer(*scratch, pixels, y);
        uint8_t* dst = store.data() + start + static_cast<size_t>(y) * static_cast<size_t>(fullWidth);
        for (int32_t x = 0; x < fullWidth; ++x) {
            const uint8_t red = static_cast<uint8_t>(src[x] >> 16);
            dst[x] = invert ? static_cast<uint8_t>(255 - red) : red;
            if (red) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x + 1);
            }
        }
    }
    int32_t mapWidth = inkRight - inkLeft;
    if (inkLeft > 0 || inkRight < fullWidth) {
        for (int32_t y = 0; y < height; ++y)
            std::memmove(store.data() + start + static_cast<size_t>(y) * static_cast<size_t>(mapWidth),
                         store.data() + start + static_cast<size_t>(y) * static_cast<size_t>(fullWidth) +
                             static_cast<size_t>(inkLeft),
                         static_cast<size_t>(mapWidth));
        store.resize(start + static_cast<size_t>(mapWidth) * static_cast<size_t>(height));
    }
    int32_t mapHeight = height;
    ShapeMap(start, &mapWidth, &mapHeight);

    record->offset = static_cast<int32_t>(start) + 1;
    record->width = mapWidth;
    record->height = mapHeight;
    record->code = ch;
    record->bearing = margin - inkLeft;
    return record;
}

// Turns a fresh map for vertical text and makes the one-bit forms.
void PIX_CachedFont::ShapeMap(size_t start, int32_t* width, int32_t* height)
{
    uint8_t* map = store.data() + start;
    int32_t w = *width;
    int32_t h = *height;
    if (fontFlags & FONT_VERTICAL) {
        // Downward text turns the glyph clockwise, upward text anticlockwise;
        // either way the line box becomes the map's width.
        const std::vector<uint8_t> flat(map, map + static_cast<size_t>(w) * static_cast<size_t>(h));
        const bool upward = (fontFlags & FONT_REVERSED) != 0;
        for (int32_t ny = 0; ny < w; ++ny)
            for (int32_t nx = 0; nx < h; ++nx) {
                const int32_t x = upward ? w - 1 - ny : ny;
                const int32_t y = upward ? nx : h - 1 - nx;
                map[static_cast<size_t>(ny) * static_cast<size_t>(h) + static_cast<size_t>(nx)] =
                    flat[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
            }
        std::swap(w, h);
        *width = w;
        *height = h;
    }
    if (!(fontFlags & kEffectFlags))
        return;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    for (size_t i = 0; i < count; ++i)
        map[i] = map[i] > 130 ? 255 : 0;
    const bool shadow = (fontFlags & FONT_SHADOW) != 0;
    const bool outline = !shadow && (fontFlags & FONT_OUTLINE);
    if (!shadow && !outline)
        return;
    // Only 255s are looked at and only 0s rewritten, so one pass in place
    // sees the one-bit glyph throughout.
    auto at = [&](int32_t x, int32_t y) -> bool {
        return x >= 0 && y >= 0 && x < w && y < h &&
            map[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] == 255;
    };
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t& v = map[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
            if (v != 0)
                continue;
            const bool marked = shadow ? at(x - 1, y) || at(x - 1, y - 1) || at(x, y - 1)
                                       : at(x - 1, y) || at(x + 1, y) || at(x, y - 1) || at(x, y + 1);
            if (marked)
                v = 128;
        }
}

bool PIX_CachedFont::PaintGlyph(PIX_IBitmap* bitmap, uint32_t ch, int32_t x, int32_t y, const PIX_Rect& clip)
{
    const GlyphRecord* glyph = FindGlyph(ch);
    return glyph && BlendGlyph(bitmap, *glyph, x, y, clip, weight);
}

bool PIX_CachedFont::BlendGlyph(PIX_IBitmap* bitmap, const GlyphRecord& glyph, int32_t x, int32_t y,
                                const PIX_Rect& clip, float drawWeight) const
{
    const uint8_t* map = GlyphCoverage(glyph);
    if (!bitmap || !map)
        return false;
    // The bearing lies before the pen in the direction of writing; upward
    // glyphs stand on the pen.
    int32_t left = x;
    int32_t top = y;
    if (!(fontFlags & FONT_VERTICAL))
        left -= glyph.bearing;
    else if (!(fontFlags & FONT_REVERSED))
        top -= glyph.bearing;
    else
        top += glyph.bearing - glyph.height;

    const int32_t x0 = std::max({left, clip.left, 0});
    const int32_t y0 = std::max({top, clip.top, 0});
    const int32_t x1 = std::min({left + glyph.width, clip.right, bitmap->Width()});
    const int32_t y1 = std::min({top + glyph.height, clip.bottom, bitmap->Height()});
    if (x0 >= x1 || y0 >= y1)
        return false;
    PIX_Pixel32* pixels = bitmap->Pixels();
    if (!pixels)
        return false;

    if (fillMode == PIX_FILL_OPAQUE)
        PIX_FillArea(bitmap, x0, y0, x1 - x0, y1 - y0, fillColor, drawWeight, blendMode & ~PIX_MODE_SOURCE_ALPHA);
    const bool oneBit = (fontFlags & kEffectFlags) != 0;
    const int32_t a = std::min(PIX_IntegerWeight(drawWeight), 256);
    if (a <= 0)
        return true;
    const int32_t kind = blendMode & PIX_MODE_KIND_MASK;
    for (int32_t row = y0; row < y1; ++row) {
        const uint8_t* coverage =
            map + static_cast<size_t>(row - top) * static_cast<size_t>(glyph.width) + static_cast<size_t>(x0 - left);
        PIX_Pixel32* d = PIX_RowPointer(*bitmap, pixels, row) + x0;
        for (int32_t i = 0; i < x1 - x0; ++i) {
            const int32_t v = coverage[i];
            if (v == 0)
                continue;
            if (!oneBit)
                d[i] = BlendCoverage(kind, d[i], inkColor, a, v);
            else if (v == 255)
                d[i] = BlendOneBit(kind, d[i], inkColor, a);
            else
                d[i] = BlendOneBit(kind, d[i], effectColor, a);
        }
    }
    return true;
}

bool PIX_CachedFont::UsesNativePath(uint32_t flags) const
{
    if (!font || !PIX_FontPlatform::HasNativeText())
        return false;
    if (lineHeight > kMaxCachedDrawHeight)
        return true;
    return (fontFlags & FONT_NATIVE) && !(flags & TEXT_NO_NATIVE) && !(flags & TEXT_INK_ALPHA) &&
        !(fontFlags & kCacheOnlyFlags) && (extraLineSpacing == 0 || (flags & PIX_DT_SINGLELINE));
}

const PIX_CachedFont::GlyphRecord* PIX_CachedFont::DrawableGlyph(uint32_t ch)
{
    const GlyphRecord* glyph = FindGlyph(ch);
    if (!glyph || glyph->offset == 0)
        glyph = RasterizeGlyph(ch);
    return glyph && glyph->offset > 0 ? glyph : nullptr;
}

template <class OnGlyph, class OnBreak>
void PIX_CachedFont::WalkText(const char* text, int32_t count, bool singleLine, OnGlyph onGlyph, OnBreak onBreak)
{
    PIX_Utf8Decoder decoder(text, count);
    uint32_t ch = 0;
    while (decoder.Next(&ch)) {
        if (ch == '\r')
            continue;
        if (ch == '\n') {
            if (!singleLine) {
                onBreak();
                continue;
            }
            ch = ' ';
        }
        if (const GlyphRecord* glyph = DrawableGlyph(ch))
            onGlyph(ch, *glyph);
    }
}

// Along runs in the direction of writing, across from line to line.
PIX_CachedFont::Extent PIX_CachedFont::Measure(const char* text, int32_t count, bool singleLine)
{
    const bool vertical = (fontFlags & FONT_VERTICAL) != 0;
    const int32_t lineStep = lineHeight + extraLineSpacing;
    int32_t along = 0;
    int32_t across = 0;
    int32_t reachAlong = 0;
    int32_t reachAcross = 0;
    WalkText(
        text, count, singleLine,
        [&](uint32_t, const GlyphRecord& g) {
        const int32_t length = vertical ? g.height : g.width;
        const int32_t thickness = vertical ? g.width : g.height;
        reachAlong = std::max(reachAlong, along + std::max(g.advance, length - g.bearing));
        reachAcross = std::max(reachAcross, across + thickness);
        along += g.advance;
        },
        [&]() {
        across += lineStep;
        along = 0;
    });
    return vertical ? Extent{reachAcross, reachAlong} : Extent{reachAlong, reachAcross};
}

int32_t PIX_CachedFont::RenderText(PIX_IBitmap* bitmap, const char* text, int32_t count, PIX_Rect* rect, uint32_t flags)
{
    if (!bitmap && !(flags & PIX_DT_CALCRECT))
        return 0;
    if (UsesNativePath(flags))
        return PIX_FontPlatform::RenderNativeText(*this, bitmap, text, count, rect, flags & ~TEXT_NO_NATIVE);
    flags &= ~TEXT_NO_NATIVE;
    if (!rect)
        return 0;
    if (flags & PIX_DT_CALCRECT) {
        const Extent extent = Measure(text, count, (flags & PIX_DT_SINGLELINE) != 0);
        rect->right = rect->left + extent.width;
        rect->bottom = rect->top + extent.height;
        return (fontFlags & FONT_VERTICAL) ? extent.width : extent.height;
    }
    return DrawCached(bitmap, text, count, *rect, flags);
}

int32_t PIX_CachedFont::DrawCached(PIX_IBitmap* bitmap, const char* text, int32_t count, const PIX_Rect& rect,
                                   uint32_t flags)
{
    float drawWeight = weight;
    if (flags & TEXT_INK_ALPHA)
        drawWeight = weight * (static_cast<float>(inkColor >> 24) / 255.0f);
    if (drawWeight == 0.0f)
        return 0;

    const bool singleLine = (flags & PIX_DT_SINGLELINE) != 0;
    const bool vertical = (fontFlags & FONT_VERTICAL) != 0;
    const bool upward = vertical && (fontFlags & FONT_REVERSED);
    Extent measured = {0, 0};
    if ((flags & kAlignFlags) || upward)
        measured = Measure(text, count, singleLine);
    int32_t x = rect.left;
    int32_t y = rect.top;
    if (flags & PIX_DT_CENTER)
        x = rect.left + (rect.right - measured.width - rect.left) / 2;
    else if (flags & PIX_DT_RIGHT)
        x = rect.right - measured.width;
    if (flags & PIX_DT_VCENTER)
        y = rect.top + (rect.bottom - measured.height - rect.top) / 2;
    else if (flags & PIX_DT_BOTTOM)
        y = rect.bottom - measured.height;

    PIX_Rect clip = {0, 0, bitmap->Width(), bitmap->Height()};
    if (!(flags & PIX_DT_NOCLIP)) {
        clip.left = std::max(rect.left, 0);
        clip.top = std::max(rect.top, 0);
        clip.right = std::min(rect.right, clip.right);
        clip.bottom = std::min(rect.bottom, clip.bottom);
    }
    if (clip.left >= clip.right || clip.top >= clip.bottom)
        return 0;

    const int32_t lineStep = lineHeight + extraLineSpacing;
    const int32_t startAlong = vertical ? (upward ? y + measured.height : y) : x;
    const int32_t startAcross = vertical ? x : y;
    int32_t along = startAlong;
    int32_t across = startAcross;
    int32_t reach = startAcross;
    WalkText(
        text, count, singleLine,
        [&](uint32_t, const GlyphRecord& g) {
        const int32_t penX = vertical ? across : along;
        const int32_t penY = vertical ? along : across;
        if (BlendGlyph(bitmap, g, penX, penY, clip, drawWeight))
            reach = std::max(reach, across + (vertical ? g.width : g.height));
        along += upward ? -g.advance : g.advance;
        },
        [&]() {
        across += lineStep;
        along = startAlong;
    });
    return reach - startAcross;
}
