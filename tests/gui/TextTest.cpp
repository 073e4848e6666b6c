#include "TestEditor.h"

#include "gui/FontCache.h"
#include "pix/PIX_CachedFont.h"
#include "pix/PIX_SysBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr PIX_Pixel32 kWhite = 0xFFFFFFFFu;

TextStyle Style(int32_t alignment, int32_t size = 14)
{
    TextStyle s;
    s.alignment = alignment;
    s.size = size;
    return s;
}

// Columns and rows holding ink (anything not white) on the surface.
Bounds InkBox(const TestEditor& editor)
{
    const PIX_SysBitmap* s = editor.DrawingSurface();
    Bounds box(s->Width(), s->Height(), -1, -1);
    for (int32_t y = 0; y < s->Height(); ++y) {
        for (int32_t x = 0; x < s->Width(); ++x) {
            if (editor.PixelAt(x, y) != kWhite) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box;
}

}   // namespace

TEST(EditorText, MeasuringRewritesTheRectByAlignment)
{
    TestEditor editor(nullptr, 300, 100);
    editor.PrepareSurfaces();

    TextStyle left = Style(kAlignLeft);
    Bounds r(10, 20, 200, 50);
    ASSERT_TRUE(editor.MeasureText(left, "Tidepull", r));
    const int32_t w = r.right - r.left;
    const int32_t h = r.bottom - r.top;
    EXPECT_GT(w, 20);
    EXPECT_GT(h, 8);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);

    TextStyle centre = Style(kAlignCenter);
    Bounds c(0, 0, 101, 5);
    ASSERT_TRUE(editor.MeasureText(centre, "Tidepull", c));
    EXPECT_EQ(c, Bounds(50 - w / 2, 0, 50 - w / 2 + w, h));

    TextStyle right = Style(kAlignRight);
    Bounds rr(0, 7, 100, 8);
    ASSERT_TRUE(editor.MeasureText(right, "Tidepull", rr));
    EXPECT_EQ(rr, Bounds(100 - w, 7, 100, 7 + h));

    // Longer text, wider box.
    Bounds longer(10, 20, 200, 50);
    editor.MeasureText(left, "Tidepull Tidepull", longer);
    EXPECT_GT(longer.right - longer.left, w);
}

TEST(EditorText, EmptyTextIsDoneAtOnce)
{
    TestEditor editor(nullptr, 50, 20);
    editor.PrepareSurfaces();
    TextStyle style;
    Bounds r(1, 2, 3, 4);
    EXPECT_TRUE(editor.DrawTextInRect(style, "", r, true));
    EXPECT_TRUE(editor.DrawTextInRect(style, nullptr, r, false));
    EXPECT_EQ(r, Bounds(1, 2, 3, 4));
    EXPECT_EQ(style.font, nullptr);   // no font needed
}

TEST(EditorText, FontsAreSharedByStyleAcrossEditors)
{
    TestEditor first(nullptr);
    TestEditor second(nullptr);
    TextStyle a = Style(kAlignLeft, 17);
    TextStyle b = Style(kAlignRight, 17);
    b.color = ArgbColor(255, 200, 10, 10);   // colour and alignment do not matter
    TextStyle bigger = Style(kAlignLeft, 18);
    TextStyle bold = Style(kAlignLeft, 17);
    bold.style = kTextBold;

    const int32_t before = FontCache::EntryCount();
    PIX_CachedFont* fa = first.FontFor(a);
    ASSERT_NE(fa, nullptr);
    EXPECT_EQ(a.font, fa);
    EXPECT_EQ(second.FontFor(b), fa);
    EXPECT_EQ(FontCache::EntryCount(), before + 1);
    EXPECT_NE(first.FontFor(bigger), fa);
    EXPECT_NE(first.FontFor(bold), fa);
    EXPECT_EQ(FontCache::EntryCount(), before + 3);
    EXPECT_EQ(fa->Flags(), FONT_OWNS_HANDLE | FONT_NATIVE);
}

TEST(EditorText, DrawsWhereItMeasures)
{
    TestEditor editor(nullptr, 200, 40);
    editor.PrepareSurfaces();
    editor.FillSurface(kWhite);
    TextStyle style = Style(kAlignCenter, 16);
    Bounds measured(0, 5, 200, 35);
    ASSERT_TRUE(editor.MeasureText(style, "Tidepull", measured));

    Bounds area(0, 5, 200, 35);
    editor.Render(Bounds(0, 0, 200, 40));
    ASSERT_TRUE(editor.DrawTextInRect(style, "Tidepull", area, false));
    EXPECT_EQ(area, Bounds(0, 5, 200, 35));   // drawing leaves the rect alone
    const Bounds ink = InkBox(editor);
    ASSERT_LT(ink.left, ink.right) << "nothing drawn";
    // The ink sits in the measured box, give or take a glyph's overhang.
    EXPECT_GE(ink.left, measured.left - 3);
    EXPECT_LE(ink.right, measured.right + 3);
    EXPECT_GE(ink.top, measured.top);
    EXPECT_LE(ink.bottom, measured.bottom + 1);
    EXPECT_LT(ink.right - ink.left, 200);
}

TEST(EditorText, TransparentInkDrawsNothing)
{
    TestEditor editor(nullptr, 200, 40);
    editor.PrepareSurfaces();
    editor.FillSurface(kWhite);
    TextStyle style = Style(kAlignLeft, 16);
    style.color = ArgbColor(0, 0, 0, 0);
    Bounds area(0, 0, 200, 40);
    EXPECT_TRUE(editor.DrawTextInRect(style, "Tidepull", area, false));
    const Bounds ink = InkBox(editor);
    EXPECT_GE(ink.left, ink.right);
}
