#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "FontTest.h"

namespace {

constexpr int32_t kEm = 20;   // fonts made with height -kEm have this em size

int32_t Margin(int32_t lineHeight)
{
    return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}

// DejaVu Sans straight from FreeType, sized and rendered the plain way.
class FreeTypeReference {
public:
    struct Bitmap {
        int32_t width = 0, height = 0;
        int32_t left = 0, top = 0;   // offsets of the bitmap from the pen and baseline
        int32_t advance = 0;
        std::vector<uint8_t> pixels;
    };

    explicit FreeTypeReference(int32_t em)
    {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans"));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && FT_Init_FreeType(&library) == 0 &&
            FT_New_Face(library, reinterpret_cast<const char*>(file), 0, &face) == 0)
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    ~FreeTypeReference()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
    bool Ok() const { return face != nullptr; }

    Bitmap Render(uint32_t ch)
    {
        Bitmap out;
        if (FT_Load_Char(face, ch, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            return out;
        const FT_Bitmap& b = face->glyph->bitmap;
        out.width = static_cast<int32_t>(b.width);
        out.height = static_cast<int32_t>(b.rows);
        out.left = face->glyph->bitmap_left;
        out.top = face->glyph->bitmap_top;
        out.advance = static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
        for (int32_t y = 0; y < out.height; ++y)
            out.pixels.insert(out.pixels.end(), b.buffer + y * b.pitch, b.buffer + y * b.pitch + out.width);
        return out;
    }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// The inked part of a w x h coverage map, cut to its bounding box.
struct Crop {
    int32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

Crop CropInk(const uint8_t* map, int32_t w, int32_t h)
{
    int32_t x0 = w, y0 = h, x1 = 0, y1 = 0;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (map[y * w + x]) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }
    Crop c;
    if (x1 <= x0)
        return c;
    c.left = x0;
    c.top = y0;
    c.width = x1 - x0;
    c.height = y1 - y0;
    for (int32_t y = y0; y < y1; ++y)
        c.pixels.insert(c.pixels.end(), map + y * w + x0, map + y * w + x1);
    return c;
}

std::vector<uint8_t> MapOf(const PIX_CachedFont& font, uint32_t ch)
{
    const PIX_CachedFont::GlyphRecord* g = font.FindGlyph(ch);
    if (!g || g->offset <= 0)
        return {};
    const uint8_t* map = font.GlyphCoverage(*g);
    return std::vector<uint8_t>(map, map + g->width * g->height);
}

void Rasterise(PIX_CachedFont& font, const char* text)
{
    PIX_Rect rect = {0, 0, 0, 0};
    font.RenderText(nullptr, text, -1, &rect, PIX_DT_CALCRECT);
}

TEST(FontGlyphCache, MapsAreFreeTypesOwnGlyphsOnOneBaseline)
{
    auto font = NewFont(-kEm);
    ASSERT_TRUE(font);
    FreeTypeReference reference(kEm);
    ASSERT_TRUE(reference.Ok());
    const std::string text = "AgjQ@W%1yk";
    Rasterise(*font, text.c_str());
    int32_t baseline = -1;
    for (char c : text) {
        SCOPED_TRACE(std::string("character ") + c);
        const PIX_CachedFont::GlyphRecord* g = font->FindGlyph(uint8_t(c));
        ASSERT_TRUE(g && g->offset > 0);
        const FreeTypeReference::Bitmap expected = reference.Render(uint8_t(c));
        EXPECT_EQ(g->advance, expected.advance);
        EXPECT_EQ(g->height, font->LineHeight());

        const Crop got = CropInk(font->GlyphCoverage(*g), g->width, g->height);
        const Crop want = CropInk(expected.pixels.data(), expected.width, expected.height);
        ASSERT_EQ(got.width, want.width);
        ASSERT_EQ(got.height, want.height);
        EXPECT_EQ(got.pixels, want.pixels);
        // Ink sits where FreeType puts it relative to the pen ...
        EXPECT_EQ(got.left - g->bearing, expected.left + want.left);
        // ... and every glyph stands on the same baseline inside the line.
        const int32_t glyphBaseline = got.top - want.top + expected.top;
        if (baseline < 0)
            baseline = glyphBaseline;
        EXPECT_EQ(glyphBaseline, baseline);
    }
    EXPECT_GT(baseline, font->LineHeight() / 2);
    EXPECT_LT(baseline, font->LineHeight());
}

TEST(FontGlyphCache, EachCharacterIsRasterisedOnce)
{
    auto font = NewFont(-kEm);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->RasterizeCount(), 0);
    auto canvas = NewCanvas(300, 60, 0xFFFFFFFF);
    PIX_Rect rect = {0, 0, 300, 60};
    EXPECT_GT(font->RenderText(canvas.get(), "abca", -1, &rect, 0), 0);
    EXPECT_EQ(font->RasterizeCount(), 3);
    font->RenderText(canvas.get(), "cab", -1, &rect, 0);
    font->RenderText(canvas.get(), "abc", -1, &rect, PIX_DT_CENTER | PIX_DT_VCENTER);
    Rasterise(*font, "bca");
    EXPECT_EQ(font->RasterizeCount(), 3);

    // Codes from 128 up go to the sorted array, and are found there again.
    font->RenderText(canvas.get(), "\xC3\xA9\xE2\x82\xAC\xC3\xA9", -1, &rect, 0);
    EXPECT_EQ(font->RasterizeCount(), 5);
    font->RenderText(canvas.get(), "\xE2\x82\xAC\xC3\xA9", -1, &rect, 0);
    EXPECT_EQ(font->RasterizeCount(), 5);
}

TEST(FontGlyphCache, SpaceAdvancesAndIsNeverRasterisedAgain)
{
    auto font = NewFont(-kEm);
    ASSERT_TRUE(font);
    PIX_Rect rect = {0, 0, 0, 0};
    EXPECT_EQ(font->RenderText(nullptr, " ", -1, &rect, PIX_DT_CALCRECT), font->LineHeight());
    const PIX_CachedFont::GlyphRecord* space = font->FindGlyph(' ');
    ASSERT_TRUE(space && space->offset > 0);
    EXPECT_GT(space->advance, 0);
    EXPECT_EQ(rect.right, space->advance);
    const std::vector<uint8_t> map = MapOf(*font, ' ');
    EXPECT_TRUE(std::all_of(map.begin(), map.end(), [](uint8_t v) { return v == 0; }));

    auto canvas = NewCanvas(200, 40, 0xFFFFFFFF);
    auto blank = NewCanvas(200, 40, 0xFFFFFFFF);
    rect = {0, 0, 200, 40};
    font->RenderText(canvas.get(), "    ", -1, &rect, 0);
    EXPECT_TRUE(SamePicture(*canvas, *blank));
    rect = {0, 0, 0, 0};
    font->RenderText(nullptr, "   ", -1, &rect, PIX_DT_CALCRECT);
    EXPECT_EQ(rect.right, 3 * space->advance);
    EXPECT_EQ(font->RasterizeCount(), 1);
}

TEST(FontGlyphCache, EmptyCharactersAreRememberedAndSkipped)
{
    auto font = NewFont(-kEm);
    ASSERT_TRUE(font);
    PIX_Rect rect = {3, 4, 0, 0};
    EXPECT_EQ(font->RenderText(nullptr, "\t\x01", -1, &rect, PIX_DT_CALCRECT), 0);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(rect.bottom, 4);
    const PIX_CachedFont::GlyphRecord* tab = font->FindGlyph('\t');
    ASSERT_TRUE(tab);
    EXPECT_EQ(tab->offset, -1);
    EXPECT_EQ(tab->advance, 0);
    Rasterise(*font, "\t\t\x01");
    EXPECT_EQ(font->RasterizeCount(), 2);

    // Skipped entirely: "a\tb" measures as "ab".
    PIX_Rect withTab = {0, 0, 0, 0}, without = {0, 0, 0, 0};
    font->RenderText(nullptr, "a\tb", -1, &withTab, PIX_DT_CALCRECT);
    font->RenderText(nullptr, "ab", -1, &without, PIX_DT_CALCRECT);
    EXPECT_EQ(withTab.right, without.right);
}

TEST(FontGlyphCache, CodesAboveAsciiAreKeptInOrder)
{
    auto font = NewFont(-kEm);
    ASSERT_TRUE(font);
    // Greek and Latin letters, rasterised out of order.
    const uint32_t codes[] = {0x3C9, 0xE9, 0x3B1, 0x20AC, 0xC5, 0x3B2, 0x100, 0xFC};
    std::string text;
    for (uint32_t c : codes) {
        if (c < 0x800) {
            text += char(0xC0 | (c >> 6));
            text += char(0x80 | (c & 0x3F));
        } else {
            text += char(0xE0 | (c >> 12));
            text += char(0x80 | ((c >> 6) & 0x3F));
            text += char(0x80 | (c & 0x3F));
        }
        Rasterise(*font, text.c_str());
    }
    EXPECT_EQ(font->RasterizeCount(), 8);
    for (uint32_t c : codes) {
        const PIX_CachedFont::GlyphRecord* g = font->FindGlyph(c);
        ASSERT_TRUE(g) << std::hex << c;
        EXPECT_EQ(g->code, c);
        EXPECT_GT(g->offset, 0);
    }
    EXPECT_EQ(font->FindGlyph(0x3B3), nullptr);
}

TEST(FontGlyphCache, PrerenderCachesAsciiAtOnceAndNothingAbove)
{
    auto font = NewFont(-kEm, FONT_PRERENDER);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->RasterizeCount(), 128);
    for (uint32_t c = 0x20; c < 0x7F; ++c)
        EXPECT_GT(font->FindGlyph(c)->offset, 0) << c;

    auto canvas = NewCanvas(200, 40, 0xFFFFFFFF);
    auto blank = NewCanvas(200, 40, 0xFFFFFFFF);
    PIX_Rect rect = {0, 0, 200, 40};
    EXPECT_EQ(font->RenderText(canvas.get(), "\xC3\xA9", -1, &rect, 0), 0);
    EXPECT_TRUE(SamePicture(*canvas, *blank));
    EXPECT_EQ(font->FindGlyph(0xE9), nullptr);

    auto ab = NewCanvas(200, 40, 0xFFFFFFFF);
    font->RenderText(canvas.get(),
                     "a\xC3\xA9"
                     "b",
                     -1, &rect, 0);
    font->RenderText(ab.get(), "ab", -1, &rect, 0);
    EXPECT_TRUE(SamePicture(*canvas, *ab));
    EXPECT_EQ(font->RasterizeCount(), 128);

    // Without prerendering the same text draws its accented letter.
    auto plain = NewFont(-kEm);
    auto accented = NewCanvas(200, 40, 0xFFFFFFFF);
    plain->RenderText(accented.get(),
                      "a\xC3\xA9"
                      "b",
                      -1, &rect, 0);
    EXPECT_FALSE(SamePicture(*accented, *ab));
}

TEST(FontGlyphCache, MapsKeepToTheMarginRule)
{
    for (int32_t height : {-9, -12, -kEm, -40}) {
        auto font = NewFont(height);
        ASSERT_TRUE(font);
        const int32_t margin = Margin(font->LineHeight());
        for (uint32_t c = 0x21; c < 0x7F; ++c) {
            const char text[2] = {char(c), 0};
            Rasterise(*font, text);
            const PIX_CachedFont::GlyphRecord* g = font->FindGlyph(c);
            ASSERT_GT(g->offset, 0);
            EXPECT_GE(g->bearing, 0);
            EXPECT_LE(g->bearing, margin) << char(c);
            EXPECT_GE(g->width, g->advance);
            EXPECT_LE(g->width, g->advance + 2 * margin) << char(c);
            EXPECT_EQ(g->height, font->LineHeight());
        }
    }
}

// Looks at glyph maps made under each flag against the plain font's map.
class FontFlagMaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        plain = NewFont(-24);
        ASSERT_TRUE(plain);
        Rasterise(*plain, text);
    }

    std::unique_ptr<PIX_CachedFont> Flagged(uint32_t flags)
    {
        auto font = NewFont(-24, flags);
        Rasterise(*font, text);
        return font;
    }

    static constexpr const char* text = "LIg@";
    std::unique_ptr<PIX_CachedFont> plain;
};

TEST_F(FontFlagMaps, InvertStoresTheComplement)
{
    auto inverted = Flagged(FONT_INVERT);
    for (const char* c = text; *c; ++c) {
        const std::vector<uint8_t> a = MapOf(*plain, uint8_t(*c)), b = MapOf(*inverted, uint8_t(*c));
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ(b[i], 255 - a[i]) << *c << " byte " << i;
    }
}

TEST_F(FontFlagMaps, MonoThresholdsAbove130)
{
    auto mono = Flagged(FONT_MONO);
    for (const char* c = text; *c; ++c) {
        const std::vector<uint8_t> a = MapOf(*plain, uint8_t(*c)), b = MapOf(*mono, uint8_t(*c));
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ(b[i], a[i] > 130 ? 255 : 0) << *c << " byte " << i;
    }
}

// Marks of shadow (left, upper-left, upper) or outline (four sides) around
// the one-bit glyph: exactly the empty bytes next to ink carry 128.
void CheckEffect(const PIX_CachedFont& plain, const PIX_CachedFont& effect, const char* text, bool shadow)
{
    for (const char* c = text; *c; ++c) {
        const PIX_CachedFont::GlyphRecord* g = plain.FindGlyph(uint8_t(*c));
        const std::vector<uint8_t> a = MapOf(plain, uint8_t(*c)), b = MapOf(effect, uint8_t(*c));
        ASSERT_EQ(a.size(), b.size());
        auto ink = [&](int32_t x, int32_t y) {
            return x >= 0 && y >= 0 && x < g->width && y < g->height && a[size_t(y * g->width + x)] > 130;
        };
        int32_t marks = 0;
        for (int32_t y = 0; y < g->height; ++y)
            for (int32_t x = 0; x < g->width; ++x) {
                const bool near = shadow ? ink(x - 1, y) || ink(x - 1, y - 1) || ink(x, y - 1)
                                         : ink(x - 1, y) || ink(x + 1, y) || ink(x, y - 1) || ink(x, y + 1);
                const uint8_t expected = ink(x, y) ? 255 : near ? 128 : 0;
                marks += expected == 128;
                ASSERT_EQ(b[size_t(y * g->width + x)], expected) << *c << " at " << x << "," << y;
            }
        EXPECT_GT(marks, 0) << *c;
    }
}

TEST_F(FontFlagMaps, ShadowAndOutlineMarkTheirNeighbours)
{
    CheckEffect(*plain, *Flagged(FONT_SHADOW), text, true);
    CheckEffect(*plain, *Flagged(FONT_OUTLINE), text, false);
    CheckEffect(*plain, *Flagged(FONT_SHADOW | FONT_OUTLINE), text, true);
}

TEST_F(FontFlagMaps, VerticalMapsAreTurned)
{
    auto down = Flagged(FONT_VERTICAL);
    auto up = Flagged(FONT_VERTICAL | FONT_REVERSED);
    for (const char* c = text; *c; ++c) {
        const PIX_CachedFont::GlyphRecord* g = plain->FindGlyph(uint8_t(*c));
        const PIX_CachedFont::GlyphRecord* d = down->FindGlyph(uint8_t(*c));
        const PIX_CachedFont::GlyphRecord* u = up->FindGlyph(uint8_t(*c));
        ASSERT_EQ(d->width, g->height);
        ASSERT_EQ(d->height, g->width);
        ASSERT_EQ(u->width, g->height);
        ASSERT_EQ(u->height, g->width);
        EXPECT_EQ(d->advance, g->advance);
        EXPECT_EQ(d->bearing, g->bearing);
        const std::vector<uint8_t> a = MapOf(*plain, uint8_t(*c)), dm = MapOf(*down, uint8_t(*c)),
                                   um = MapOf(*up, uint8_t(*c));
        const int32_t w = g->width, h = g->height;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                // Clockwise for downward text: the glyph's top faces right.
                ASSERT_EQ(dm[size_t(x * h + (h - 1 - y))], a[size_t(y * w + x)]);
                // Anticlockwise for upward text: its top faces left.
                ASSERT_EQ(um[size_t((w - 1 - x) * h + y)], a[size_t(y * w + x)]);
            }
    }
}

TEST_F(FontFlagMaps, BlurSpreadsInkByOnePixel)
{
    auto blurred = Flagged(FONT_BLUR);
    for (const char* c = "LI"; *c; ++c) {
        const PIX_CachedFont::GlyphRecord* g = plain->FindGlyph(uint8_t(*c));
        const PIX_CachedFont::GlyphRecord* b = blurred->FindGlyph(uint8_t(*c));
        const Crop sharp = CropInk(plain->GlyphCoverage(*g), g->width, g->height);
        const Crop soft = CropInk(blurred->GlyphCoverage(*b), b->width, b->height);
        // One more column each side, one more row above and below.
        EXPECT_EQ(soft.width, sharp.width + 2) << *c;
        EXPECT_EQ(soft.height, sharp.height + 2) << *c;
        EXPECT_EQ(soft.left - b->bearing, sharp.left - g->bearing - 1) << *c;
        EXPECT_EQ(soft.top, sharp.top - 1) << *c;
        const uint8_t peak = *std::max_element(soft.pixels.begin(), soft.pixels.end());
        EXPECT_LT(peak, 255) << *c;
        long sumSharp = 0, sumSoft = 0;
        for (uint8_t v : sharp.pixels)
            sumSharp += v;
        for (uint8_t v : soft.pixels)
            sumSoft += v;
        EXPECT_NEAR(double(sumSoft) / double(sumSharp), 1.0, 0.1) << *c;
    }
}

TEST(FontGlyphCache, QualityOneRendersWithoutAntialiasing)
{
    auto font = NewFont(-kEm, 0, "DejaVu Sans", 1);
    ASSERT_TRUE(font);
    Rasterise(*font, "O@");
    for (const char* c = "O@"; *c; ++c) {
        const std::vector<uint8_t> map = MapOf(*font, uint8_t(*c));
        EXPECT_TRUE(std::all_of(map.begin(), map.end(), [](uint8_t v) { return v == 0 || v == 255; }));
        EXPECT_TRUE(std::any_of(map.begin(), map.end(), [](uint8_t v) { return v == 255; }));
    }
}

TEST(FontGlyphCache, UnknownFaceNamesFallBackToDejaVuSans)
{
    auto dejavu = NewFont(-kEm);
    auto unknown = NewFont(-kEm, 0, "No Such Face Tidepull");
    auto unnamed = NewFont(-kEm, 0, "");
    ASSERT_TRUE(dejavu && unknown && unnamed);
    Rasterise(*dejavu, "Ag");
    Rasterise(*unknown, "Ag");
    Rasterise(*unnamed, "Ag");
    EXPECT_EQ(unknown->LineHeight(), dejavu->LineHeight());
    for (uint32_t c : {uint32_t('A'), uint32_t('g')}) {
        EXPECT_EQ(MapOf(*unknown, c), MapOf(*dejavu, c));
        EXPECT_EQ(MapOf(*unnamed, c), MapOf(*dejavu, c));
    }
}

TEST(FontGlyphCache, PositiveHeightIsTheLineHeight)
{
    for (int32_t height : {12, 16, 20, 33}) {
        auto font = NewFont(height);
        ASSERT_TRUE(font);
        EXPECT_NEAR(font->LineHeight(), height, 1);
    }
}

TEST(FontGlyphCache, FontsTallerThan1023AreNotCached)
{
    auto font = NewFont(-1100);
    ASSERT_TRUE(font);
    ASSERT_GT(font->LineHeight(), 1023);
    PIX_Rect rect = {0, 0, 0, 0};
    EXPECT_EQ(font->RenderText(nullptr, "A", -1, &rect, PIX_DT_CALCRECT), 0);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(font->RasterizeCount(), 0);
    EXPECT_EQ(font->FindGlyph('A')->offset, 0);
}

TEST(FontGlyphCache, HandlesAndScratchLiveWithTheFonts)
{
    const int32_t before = PIX_CachedFont::LiveFontCount();
    {
        auto font = NewFont(-kEm);
        ASSERT_TRUE(font);
        EXPECT_EQ(PIX_CachedFont::LiveFontCount(), before + 1);
        Rasterise(*font, "ab");
        // The same handle again is kept, not deleted.
        font->SetFromHandle(font->FontHandle(), FONT_OWNS_HANDLE);
        EXPECT_EQ(font->RasterizeCount(), 2);
        EXPECT_EQ(font->FindGlyph('a')->offset, 0);
        Rasterise(*font, "ab");
        EXPECT_GT(font->FindGlyph('a')->offset, 0);
        // A new owned handle replaces (and deletes) the old one.
        PIX_FontDesc desc;
        desc.height = -30;
        font->SetFromHandle(PIX_FontPlatform::CreateFontHandle(desc), FONT_OWNS_HANDLE);
        EXPECT_GT(font->LineHeight(), 30);
        // Without a handle nothing can be cached.
        font->SetFromHandle(nullptr, 0);
        EXPECT_EQ(font->LineHeight(), 0);
        PIX_Rect rect = {0, 0, 0, 0};
        EXPECT_EQ(font->RenderText(nullptr, "ab", -1, &rect, PIX_DT_CALCRECT), 0);
    }
    EXPECT_EQ(PIX_CachedFont::LiveFontCount(), before);
}

}   // namespace
