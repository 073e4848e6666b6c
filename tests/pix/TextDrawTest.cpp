#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>

#include "CombineReference.h"
#include "FontTest.h"
#include "TestBitmap.h"
#include "pix/PIX_Mode.h"

bool operator==(const PIX_Rect& a, const PIX_Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PrintTo(const PIX_Rect& r, std::ostream* os)
{
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

constexpr PIX_Pixel32 kWhite = 0xFFFFFFFF;
constexpr PIX_Pixel32 kBlack = 0xFF000000;

class TextDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        font = NewFont(-32);
        ASSERT_TRUE(font);
        font->SetInkColor(kBlack);
        lh = font->LineHeight();
    }

    // Draws into a fresh white canvas.
    std::unique_ptr<PIX_MemBitmap> Draw(const char* text, PIX_Rect rect, uint32_t flags = 0, int32_t* result = nullptr,
                                        int32_t width = 320, int32_t height = 200)
    {
        auto canvas = NewCanvas(width, height, kWhite);
        const int32_t r = font->RenderText(canvas.get(), text, -1, &rect, flags);
        if (result)
            *result = r;
        return canvas;
    }

    PIX_Rect Measure(const char* text, uint32_t flags = 0, int32_t* result = nullptr)
    {
        PIX_Rect rect = {10, 20, 10, 20};
        const int32_t r = font->RenderText(nullptr, text, -1, &rect, flags | PIX_DT_CALCRECT);
        if (result)
            *result = r;
        return rect;
    }

    std::unique_ptr<PIX_CachedFont> font;
    int32_t lh = 0;
};

TEST_F(TextDraw, GlyphsAreVisiblyTheRightCharacters)
{
    // A capital I is one tall, narrow stem.
    auto canvasI = Draw("I", {20, 20, 300, 100});
    const InkBox i = FindInk(*canvasI, 128);
    ASSERT_FALSE(i.Empty());
    EXPECT_GT(i.Height(), 3 * i.Width());
    for (int32_t y = i.top; y < i.bottom; ++y)
        EXPECT_GT(InkAt(*canvasI, (i.left + i.right) / 2, y), 200) << y;

    // An O is about as wide as tall and hollow in the middle, closed on all sides.
    auto canvasO = Draw("O", {20, 20, 300, 100});
    const InkBox o = FindInk(*canvasO, 128);
    ASSERT_FALSE(o.Empty());
    EXPECT_NEAR(double(o.Width()) / o.Height(), 1.0, 0.25);
    const int32_t cx = (o.left + o.right) / 2, cy = (o.top + o.bottom) / 2;
    EXPECT_EQ(InkAt(*canvasO, cx, cy), 0);
    EXPECT_GT(InkAt(*canvasO, cx, o.top), 128);
    EXPECT_GT(InkAt(*canvasO, cx, o.bottom - 1), 128);
    EXPECT_GT(InkAt(*canvasO, o.left, cy), 128);
    EXPECT_GT(InkAt(*canvasO, o.right - 1, cy), 128);
    // Same cap height as the I, on the same baseline.
    EXPECT_NEAR(o.top, i.top, 1);
    EXPECT_NEAR(o.bottom, i.bottom, 1);

    // A hyphen is a short horizontal band halfway up the capitals.
    auto canvasDash = Draw("-", {20, 20, 300, 100});
    const InkBox dash = FindInk(*canvasDash, 128);
    ASSERT_FALSE(dash.Empty());
    EXPECT_GT(dash.Width(), 2 * dash.Height());
    EXPECT_GT(dash.top, i.top + i.Height() / 4);
    EXPECT_LT(dash.bottom, i.bottom - i.Height() / 4);
}

TEST_F(TextDraw, AWordRunsLeftToRight)
{
    auto canvas = Draw("IO-", {20, 20, 300, 100});
    // Split the ink into runs of inked columns.
    std::vector<InkBox> parts;
    bool inRun = false;
    int32_t start = 0;
    for (int32_t x = 0; x <= canvas->Width(); ++x) {
        const bool inked = x < canvas->Width() && !FindInk(*canvas, 128, x, x + 1).Empty();
        if (inked && !inRun)
            start = x;
        if (!inked && inRun)
            parts.push_back(FindInk(*canvas, 128, start, x));
        inRun = inked;
    }
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_GT(parts[0].Height(), 3 * parts[0].Width());   // I
    EXPECT_NEAR(double(parts[1].Width()) / parts[1].Height(), 1.0, 0.25);   // O
    EXPECT_GT(parts[2].Width(), 2 * parts[2].Height());   // -
    // Each starts at the pen that the previous advances moved along.
    const PIX_CachedFont::GlyphRecord* gI = font->FindGlyph('I');
    const PIX_CachedFont::GlyphRecord* gO = font->FindGlyph('O');
    auto alone = Draw("O", {20 + gI->advance, 20, 300, 100});
    EXPECT_EQ(FindInk(*alone, 128).left, parts[1].left);
    alone = Draw("-", {20 + gI->advance + gO->advance, 20, 300, 100});
    EXPECT_EQ(FindInk(*alone, 128).left, parts[2].left);
}

TEST_F(TextDraw, MeasuringEmptyTextGivesAnEmptyRect)
{
    int32_t result = -1;
    EXPECT_EQ(Measure(""), (PIX_Rect{10, 20, 10, 20}));
    PIX_Rect rect = {10, 20, 99, 99};
    EXPECT_EQ(font->RenderText(nullptr, "", -1, &rect, PIX_DT_CALCRECT), 0);
    EXPECT_EQ(rect, (PIX_Rect{10, 20, 10, 20}));
    rect = {10, 20, 99, 99};
    EXPECT_EQ(font->RenderText(nullptr, "abc", 0, &rect, PIX_DT_CALCRECT), 0);
    EXPECT_EQ(rect, (PIX_Rect{10, 20, 10, 20}));
    rect = {10, 20, 99, 99};
    EXPECT_EQ(font->RenderText(nullptr, nullptr, -1, &rect, PIX_DT_CALCRECT), 0);
    EXPECT_EQ(rect, (PIX_Rect{10, 20, 10, 20}));
    Measure("\r", 0, &result);
    EXPECT_EQ(result, 0);
    // Without a bitmap there is nothing to draw.
    rect = {0, 0, 100, 100};
    EXPECT_EQ(font->RenderText(nullptr, "abc", -1, &rect, 0), 0);
}

TEST_F(TextDraw, MeasuringCoversAdvancesAndInk)
{
    int32_t result = 0;
    const PIX_Rect rect = Measure("Hello", 0, &result);
    EXPECT_EQ(result, lh);
    EXPECT_EQ(rect.bottom - rect.top, lh);
    int32_t pen = 0, reach = 0;
    for (const char* c = "Hello"; *c; ++c) {
        const PIX_CachedFont::GlyphRecord* g = font->FindGlyph(uint8_t(*c));
        reach = std::max(reach, pen + std::max(g->advance, g->width - g->bearing));
        pen += g->advance;
    }
    EXPECT_EQ(rect.right - rect.left, reach);
    // The drawn ink lies inside the measured box.
    auto canvas = Draw("Hello", {10, 20, 300, 200});
    const InkBox ink = FindInk(*canvas);
    EXPECT_GE(ink.left, rect.left);
    EXPECT_LE(ink.right, rect.right);
    EXPECT_GE(ink.top, rect.top);
    EXPECT_LE(ink.bottom, rect.bottom);
}

TEST_F(TextDraw, LineBreaks)
{
    font->SetExtraLineSpacing(5);
    int32_t result = 0;
    const PIX_Rect two = Measure("A\nBB", 0, &result);
    const PIX_Rect bb = Measure("BB");
    EXPECT_EQ(two.bottom - two.top, 2 * lh + 5);
    EXPECT_EQ(result, 2 * lh + 5);
    EXPECT_EQ(two.right - two.left, bb.right - bb.left);
    // Single line: the break is a space.
    EXPECT_EQ(Measure("A\nBB", PIX_DT_SINGLELINE), Measure("A BB"));

    // B starts one line (plus the spacing) below A, back at the start x.
    int32_t drawn = 0;
    auto canvas = Draw("A\r\nB", {10, 10, 300, 200}, 0, &drawn);
    EXPECT_EQ(drawn, 2 * lh + 5);
    auto expected = Draw("A", {10, 10, 300, 200});
    PIX_Rect second = {10, 10 + lh + 5, 300, 200};
    font->RenderText(expected.get(), "B", -1, &second, 0);
    EXPECT_TRUE(SamePicture(*canvas, *expected));

    EXPECT_TRUE(SamePicture(*Draw("A\nB", {10, 10, 300, 200}, PIX_DT_SINGLELINE), *Draw("A B", {10, 10, 300, 200})));
}

TEST_F(TextDraw, FourByteCharacterDrawsASpace)
{
    EXPECT_TRUE(SamePicture(*Draw("a\xF0\x9F\x8E\x9B"
                                  "b",
                                  {5, 5, 300, 100}),
                            *Draw("a b", {5, 5, 300, 100})));
    EXPECT_FALSE(SamePicture(*Draw("a\xF0\x9F\x8E\x9B"
                                   "b",
                                   {5, 5, 300, 100}),
                             *Draw("ab", {5, 5, 300, 100})));
}

TEST_F(TextDraw, AlignmentMovesTheStart)
{
    const PIX_Rect m = Measure("Hi", PIX_DT_SINGLELINE);
    const int32_t mw = m.right - m.left, mh = m.bottom - m.top;
    const PIX_Rect box = {40, 30, 241, 151};
    auto centred = Draw("Hi", box, PIX_DT_CENTER | PIX_DT_VCENTER | PIX_DT_SINGLELINE);
    EXPECT_TRUE(SamePicture(*centred, *Draw("Hi", {40 + (201 - mw) / 2, 30 + (121 - mh) / 2, 241, 151})));
    auto corner = Draw("Hi", box, PIX_DT_RIGHT | PIX_DT_BOTTOM | PIX_DT_SINGLELINE);
    EXPECT_TRUE(SamePicture(*corner, *Draw("Hi", {241 - mw, 151 - mh, 241, 151})));

    // And the ink shows it: centred ink has about equal room on both sides,
    // right-aligned ink ends at the right edge.
    const InkBox c = FindInk(*centred);
    EXPECT_NEAR(c.left - box.left, box.right - c.right, 4);
    const InkBox r = FindInk(*corner);
    EXPECT_LE(r.right, box.right);
    EXPECT_GE(r.right, box.right - 4);
    EXPECT_LE(r.bottom, box.bottom);
}

TEST_F(TextDraw, ClippedToTheRectUnlessNoClip)
{
    const PIX_Rect narrow = {30, 30, 60, 50};
    auto clipped = Draw("WWWW", narrow);
    const InkBox ink = FindInk(*clipped);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, narrow.left);
    EXPECT_LE(ink.right, narrow.right);
    EXPECT_GE(ink.top, narrow.top);
    EXPECT_LE(ink.bottom, narrow.bottom);

    auto free = Draw("WWWW", narrow, PIX_DT_NOCLIP);
    EXPECT_GT(FindInk(*free).right, narrow.right + 40);

    // Negative corners are taken as 0; a rect off the bitmap draws nothing.
    int32_t drawn = 0;
    auto offset = Draw("WW", {-10, -10, 30, 30}, 0, &drawn);
    EXPECT_GE(FindInk(*offset).left, 0);
    auto outside = Draw("WW", {400, 10, 500, 60}, 0, &drawn);
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(FindInk(*outside).Empty());
}

TEST_F(TextDraw, NothingOutsideASmallBitmap)
{
    // Text larger than the bitmap, in every corner: only the bitmap's own
    // pixels change (a padded bitmap shows writes into its padding).
    for (int32_t x : {-40, -5, 3}) {
        TestBitmap canvas(20, 12, 4, false, 0xFFFFFFFF);
        PIX_Rect rect = {x, x, x + 400, x + 400};
        font->RenderText(&canvas, "W@g", -1, &rect, PIX_DT_NOCLIP);
        for (int32_t y = 0; y < canvas.height; ++y)
            for (int32_t p = canvas.width; p < canvas.stride; ++p)
                EXPECT_EQ(canvas.At(p, y), 0xFFFFFFFFu);
    }
}

TEST_F(TextDraw, BottomUpBitmapsShowTheSamePicture)
{
    TestBitmap down(120, 60, 3, false, kWhite), up(120, 60, 3, true, kWhite);
    PIX_Rect rect = {4, 4, 120, 60};
    font->RenderText(&down, "Tg\n@", -1, &rect, 0);
    font->RenderText(&up, "Tg\n@", -1, &rect, 0);
    EXPECT_FALSE(FindInk(down).Empty());
    EXPECT_TRUE(SamePicture(down, up));
}

TEST_F(TextDraw, WeightAndInkAlpha)
{
    // Weight 0, or ink alpha 0 under TEXT_INK_ALPHA, draws nothing.
    font->SetBlend(PIX_MODE_COPY, 0.0f);
    int32_t drawn = -1;
    auto none = Draw("Ag", {5, 5, 300, 100}, 0, &drawn);
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(FindInk(*none).Empty());
    font->SetBlend(PIX_MODE_COPY, 1.0f);
    font->SetInkColor(0x00000000);
    none = Draw("Ag", {5, 5, 300, 100}, TEXT_INK_ALPHA, &drawn);
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(FindInk(*none).Empty());

    // Ink alpha 128 weighs like a weight of 128 / 255, for this call only.
    font->SetInkColor(0x80000000);
    auto weighed = Draw("Ag", {5, 5, 300, 100}, TEXT_INK_ALPHA);
    font->SetInkColor(kBlack);
    font->SetBlend(PIX_MODE_COPY, 128.0f / 255.0f);
    EXPECT_TRUE(SamePicture(*weighed, *Draw("Ag", {5, 5, 300, 100})));
    EXPECT_EQ(font->Weight(), 128.0f / 255.0f);
    int32_t darkest = 0;
    for (int32_t y = 0; y < weighed->Height(); ++y)
        for (int32_t x = 0; x < weighed->Width(); ++x)
            darkest = std::max(darkest, InkAt(*weighed, x, y));
    EXPECT_NEAR(darkest, 128, 2);
}

TEST_F(TextDraw, OpaqueFillPaintsEachGlyphBox)
{
    font->SetFillMode(PIX_FILL_OPAQUE);
    font->SetFillColor(0xFF00FF00);
    auto canvas = Draw(" ", {10, 10, 300, 100});
    const PIX_CachedFont::GlyphRecord* space = font->FindGlyph(' ');
    // The space draws no ink but its box is filled.
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const bool inBox =
                x >= 10 - space->bearing && x < 10 - space->bearing + space->width && y >= 10 && y < 10 + lh;
            ASSERT_EQ(PixelAt(*canvas, x, y), inBox ? 0xFF00FF00u : kWhite) << x << "," << y;
        }
    // Transparent again: the box is left alone.
    EXPECT_EQ(font->SetFillMode(PIX_FILL_TRANSPARENT), PIX_FILL_OPAQUE);
    EXPECT_TRUE(FindInk(*Draw(" ", {10, 10, 300, 100})).Empty());
}

TEST_F(TextDraw, SettersReturnThePreviousValue)
{
    EXPECT_EQ(font->SetInkColor(0x11223344), kBlack);
    EXPECT_EQ(font->InkColor(), 0x11223344u);
    EXPECT_EQ(font->SetFillColor(1), 0xFFFFFFFFu);
    EXPECT_EQ(font->SetEffectColor(2), 0xFFFFFFFFu);
    EXPECT_EQ(font->SetFillMode(PIX_FILL_OPAQUE), PIX_FILL_TRANSPARENT);
    PIX_CachedFont blank;
    EXPECT_EQ(blank.InkColor(), 0u);
    EXPECT_EQ(blank.FontHandle(), nullptr);
    EXPECT_EQ(blank.LineHeight(), 0);
    EXPECT_EQ(blank.BlendMode(), PIX_MODE_COPY);
    EXPECT_EQ(blank.Weight(), 1.0f);
}

// Blending the coverage map of one glyph, pixel by pixel.
class GlyphBlend : public ::testing::TestWithParam<std::tuple<int32_t, float>> {};

constexpr PIX_Pixel32 kGround = 0x80406020;
constexpr PIX_Pixel32 kInk = 0x7F1090E0;   // alpha plays no part in anti-aliased text

// The expected pixel for coverage v: the weight is v + 1 at full weight, else
// a x v / 256; COPY moves the colour toward the ink and the alpha toward 255,
// MULTIPLY leaves the alpha, the others take their rule with an opaque ink.
PIX_Pixel32 Expected(int32_t kind, int32_t a, int32_t v, PIX_Pixel32 d)
{
    const int32_t w = a == 256 ? v + 1 : std::min(a * v / 256, 256);
    const PIX_Pixel32 ink = kInk | 0xFF000000;
    if (kind == PIX_MODE_COPY) {
        PIX_Pixel32 out = 0;
        for (int32_t i = 0; i < 4; ++i) {
            const int32_t s = int32_t((ink >> (8 * i)) & 255), dc = int32_t((d >> (8 * i)) & 255);
            out |= PIX_Pixel32(s + (dc - s) * (256 - w) / 256) << (8 * i);
        }
        return out;
    }
    if (w == 0 && kind == PIX_MODE_HSV_ADJUST) {
        // The rule still runs at weight 0. The source-alpha form at half
        // weight with a transparent source reaches it; then the alpha is 255.
        return RefComposite(d, ink & 0xFFFFFF, 0.5f, kind | PIX_MODE_SOURCE_ALPHA) | 0xFF000000;
    }
    if (w == 0)
        return d;
    const PIX_Pixel32 combined = RefComposite(d, ink, float(w) / 256.0f, kind);
    return kind == PIX_MODE_MULTIPLY ? (combined & 0xFFFFFF) | (d & 0xFF000000) : combined;
}

TEST_P(GlyphBlend, EveryPixelFollowsTheCoverage)
{
    const int32_t kind = std::get<0>(GetParam());
    const float weight = std::get<1>(GetParam());
    auto font = NewFont(-28);
    ASSERT_TRUE(font);
    font->SetInkColor(kInk);
    // Source alpha is meaningless for glyphs and ignored.
    font->SetBlend(kind | PIX_MODE_SOURCE_ALPHA, weight);
    PIX_Rect measure = {0, 0, 0, 0};
    font->RenderText(nullptr, "@", -1, &measure, PIX_DT_CALCRECT);
    const PIX_CachedFont::GlyphRecord* g = font->FindGlyph('@');
    const uint8_t* map = font->GlyphCoverage(*g);

    auto canvas = NewCanvas(60, 50, kGround);
    const PIX_Rect clip = {0, 0, 60, 50};
    EXPECT_TRUE(font->PaintGlyph(canvas.get(), '@', 9, 6, clip));
    const int32_t a = int32_t(double(weight) * 256.0);
    int32_t mismatches = 0;
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 60; ++x) {
            const int32_t mx = x - (9 - g->bearing), my = y - 6;
            const int32_t v = mx >= 0 && my >= 0 && mx < g->width && my < g->height ? map[my * g->width + mx] : 0;
            const PIX_Pixel32 want = v ? Expected(kind, a, v, kGround) : kGround;
            if (PixelAt(*canvas, x, y) != want && ++mismatches <= 5)
                ADD_FAILURE() << std::hex << "kind " << kind << " weight " << weight << " v=" << std::dec << v
                              << std::hex << ": expected 0x" << want << " got 0x" << PixelAt(*canvas, x, y);
        }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GlyphBlend,
                         ::testing::Combine(::testing::Values(PIX_MODE_COPY, PIX_MODE_ADD, PIX_MODE_DODGE,
                                                              PIX_MODE_MULTIPLY, PIX_MODE_OVERLAY, PIX_MODE_HSV_ADJUST),
                                            ::testing::Values(1.0f, 0.5f, 0.999f, 0.3f)));

TEST(GlyphPaint, UncachedOrInvisibleGlyphsPaintNothing)
{
    auto font = NewFont(-20);
    ASSERT_TRUE(font);
    auto canvas = NewCanvas(40, 40, kWhite);
    const PIX_Rect clip = {0, 0, 40, 40};
    EXPECT_FALSE(font->PaintGlyph(canvas.get(), 'A', 5, 5, clip));   // not rasterised yet
    EXPECT_FALSE(font->PaintGlyph(canvas.get(), 0x3A9, 5, 5, clip));
    PIX_Rect measure = {0, 0, 0, 0};
    font->RenderText(nullptr, "A", -1, &measure, PIX_DT_CALCRECT);
    EXPECT_FALSE(font->PaintGlyph(canvas.get(), 'A', 50, 5, clip));   // outside the clip
    EXPECT_FALSE(font->PaintGlyph(canvas.get(), 'A', 5, 5, PIX_Rect{10, 10, 10, 30}));
    EXPECT_TRUE(FindInk(*canvas).Empty());
    EXPECT_TRUE(font->PaintGlyph(canvas.get(), 'A', 5, 5, clip));
    EXPECT_FALSE(FindInk(*canvas).Empty());
}

TEST(GlyphPaint, OneBitGlyphsTakeTheInkAndEffectColours)
{
    auto font = NewFont(-24, FONT_SHADOW);
    ASSERT_TRUE(font);
    font->SetInkColor(0x40112233);
    font->SetEffectColor(0x80A0B0C0);
    PIX_Rect rect = {0, 0, 100, 60};
    auto canvas = NewCanvas(100, 60, kWhite);
    font->RenderText(canvas.get(), "H", -1, &rect, 0);
    const PIX_CachedFont::GlyphRecord* g = font->FindGlyph('H');
    const uint8_t* map = font->GlyphCoverage(*g);
    int32_t inks = 0, shadows = 0;
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const int32_t mx = x + g->bearing;
            const int32_t v = mx < g->width && y < g->height ? map[y * g->width + mx] : 0;
            // At full weight in COPY the colour words are stored as they are.
            const PIX_Pixel32 want = v == 255 ? 0x40112233 : v == 128 ? 0x80A0B0C0 : kWhite;
            inks += v == 255;
            shadows += v == 128;
            ASSERT_EQ(PixelAt(*canvas, x, y), want) << x << "," << y;
        }
    EXPECT_GT(inks, 0);
    EXPECT_GT(shadows, 0);

    // Other weights blend toward an opaque ink.
    font->SetBlend(PIX_MODE_COPY, 0.75f);
    canvas = NewCanvas(100, 60, 0x00204060);
    font->RenderText(canvas.get(), "H", -1, &rect, 0);
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const int32_t mx = x + g->bearing;
            const int32_t v = mx < g->width && y < g->height ? map[y * g->width + mx] : 0;
            const PIX_Pixel32 colour = v == 255 ? 0xFF112233 : 0xFFA0B0C0;
            const PIX_Pixel32 want = v ? RefComposite(0x00204060, colour, 0.75f, PIX_MODE_COPY) : 0x00204060;
            ASSERT_EQ(PixelAt(*canvas, x, y), want) << x << "," << y;
        }
}

// Vertical text: downward text is turned clockwise, upward anticlockwise.
TEST(VerticalText, RunsDownOrUpAndTurnsItsGlyphs)
{
    auto down = NewFont(-32, FONT_VERTICAL);
    auto up = NewFont(-32, FONT_VERTICAL | FONT_REVERSED);
    ASSERT_TRUE(down && up);
    down->SetInkColor(kBlack);
    up->SetInkColor(kBlack);
    PIX_Rect rect = {20, 20, 200, 300};

    // A hyphen becomes a vertical band, an I a horizontal one.
    auto dash = NewCanvas(200, 300, kWhite);
    down->RenderText(dash.get(), "-", -1, &rect, 0);
    const InkBox d = FindInk(*dash, 128);
    EXPECT_GT(d.Height(), 2 * d.Width());
    auto stem = NewCanvas(200, 300, kWhite);
    down->RenderText(stem.get(), "I", -1, &rect, 0);
    const InkBox s = FindInk(*stem, 128);
    EXPECT_GT(s.Width(), 3 * s.Height());

    // Measuring: the line's height across, the advances along.
    PIX_Rect m = {0, 0, 0, 0};
    const int32_t across = down->RenderText(nullptr, "IO", -1, &m, PIX_DT_CALCRECT);
    EXPECT_EQ(across, down->LineHeight());
    EXPECT_EQ(m.right, down->LineHeight());
    EXPECT_GE(m.bottom, down->FindGlyph('I')->advance + down->FindGlyph('O')->advance);

    // Downward: the second character lies below the first; upward: above.
    auto both = NewCanvas(200, 300, kWhite);
    down->RenderText(both.get(), "I-", -1, &rect, 0);
    const InkBox firstDown = FindInk(*stem, 128);
    const InkBox allDown = FindInk(*both, 128);
    EXPECT_EQ(allDown.top, firstDown.top);
    EXPECT_GT(allDown.bottom, firstDown.bottom + 5);

    // Upward text fills its measured box from the bottom.
    auto upBoth = NewCanvas(200, 300, kWhite);
    up->RenderText(upBoth.get(), "I-", -1, &rect, 0);
    PIX_Rect upBox = rect;
    up->RenderText(nullptr, "I-", -1, &upBox, PIX_DT_CALCRECT);
    const InkBox allUp = FindInk(*upBoth, 0);
    EXPECT_GE(allUp.top, upBox.top);
    EXPECT_LE(allUp.bottom, upBox.bottom);
    EXPECT_GT(allUp.bottom, upBox.bottom - up->LineHeight() / 2);

    // The glyphs face opposite ways: the upward picture is the downward one
    // turned by half a circle, within the ink boxes.
    const InkBox a = FindInk(*both, 0), b = FindInk(*upBoth, 0);
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x)
            ASSERT_EQ(InkAt(*both, a.left + x, a.top + y), InkAt(*upBoth, b.right - 1 - x, b.bottom - 1 - y));

    // A line break moves right by the line height.
    auto lines = NewCanvas(200, 300, kWhite);
    int32_t width = down->RenderText(lines.get(), "I\nI", -1, &rect, 0);
    EXPECT_EQ(width, 2 * down->LineHeight());
    const InkBox l = FindInk(*lines, 128);
    EXPECT_EQ(l.right - s.right, down->LineHeight());
}

}   // namespace
