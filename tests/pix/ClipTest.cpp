#include <gtest/gtest.h>

#include <random>

#include "TestBitmap.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_FillArea.h"
#include "pix/PIX_Mode.h"

namespace {

constexpr uint32_t kUntouched = 0x5A5A5A5A;

uint32_t SourceValue(int32_t x, int32_t y)
{
    return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
}

TestBitmap MakeSource(int32_t w, int32_t h, bool bottomUp)
{
    TestBitmap src(w, h, 3, bottomUp, 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            src.At(x, y) = SourceValue(x, y);
    return src;
}

// Where source pixel (sx, sy) should land: at (x, y) + (sx, sy) - (rect.left, rect.top),
// for source pixels inside both the rectangle and the source, and landing inside
// the destination.
void ExpectPlacement(TestBitmap& dst, int32_t srcW, int32_t srcH, int32_t x, int32_t y, const PIX_Rect* rect)
{
    const PIX_Rect whole{0, 0, srcW, srcH};
    const PIX_Rect r = rect ? *rect : whole;
    for (int32_t dy = 0; dy < dst.height; ++dy)
        for (int32_t dx = 0; dx < dst.width; ++dx) {
            const int32_t sx = dx - x + r.left;
            const int32_t sy = dy - y + r.top;
            const bool inside = sx >= 0 && sy >= 0 && sx < srcW && sy < srcH && sx >= r.left && sy >= r.top &&
                sx < r.right && sy < r.bottom;
            const uint32_t expected = inside ? SourceValue(sx, sy) : kUntouched;
            ASSERT_EQ(dst.At(dx, dy), expected) << "at " << dx << "," << dy << " placing at " << x << "," << y;
        }
    for (int32_t row = 0; row < dst.height; ++row)
        for (int32_t pad = dst.width; pad < dst.stride; ++pad)
            ASSERT_EQ(dst.storage[size_t(row * dst.stride + pad)], kUntouched);
}

TEST(CompositeClip, SourceRectangleWithNegativeLeftShiftsTheDestination)
{
    TestBitmap src = MakeSource(8, 6, false);
    TestBitmap dst(20, 10, 2, false, kUntouched);
    const PIX_Rect rect{-5, 0, 4, 3};
    PIX_Composite(&dst, &src, 2, 1, &rect, 1.0f, PIX_MODE_COPY);
    EXPECT_EQ(dst.At(7, 1), SourceValue(0, 0));
    EXPECT_EQ(dst.At(6, 1), kUntouched);
    EXPECT_EQ(dst.At(10, 3), SourceValue(3, 2));
    EXPECT_EQ(dst.At(11, 3), kUntouched);
    ExpectPlacement(dst, 8, 6, 2, 1, &rect);
}

TEST(CompositeClip, NegativePositionDrawsTheVisiblePart)
{
    TestBitmap src = MakeSource(8, 6, false);
    TestBitmap dst(5, 4, 1, false, kUntouched);
    PIX_Composite(&dst, &src, -3, -2, nullptr, 1.0f, PIX_MODE_COPY);
    EXPECT_EQ(dst.At(0, 0), SourceValue(3, 2));
    EXPECT_EQ(dst.At(4, 3), SourceValue(7, 5));
    ExpectPlacement(dst, 8, 6, -3, -2, nullptr);
}

TEST(CompositeClip, OutsideTheDestinationTouchesNoMemory)
{
    TestBitmap src = MakeSource(8, 6, false);
    TestBitmap dst(10, 10, 0, false, kUntouched);
    const PIX_Rect beyond{8, 0, 12, 6};
    const PIX_Rect empty{3, 3, 3, 5};
    struct {
        int32_t x, y;
        const PIX_Rect* rect;
    } cases[] = {{-8, 0, nullptr},      {0, -6, nullptr}, {10, 0, nullptr}, {0, 10, nullptr},
                 {-100, -100, nullptr}, {0, 0, &beyond},  {0, 0, &empty}};
    for (const auto& c : cases) {
        src.pixelsCalls = dst.pixelsCalls = 0;
        PIX_Composite(&dst, &src, c.x, c.y, c.rect, 0.7f, PIX_MODE_ADD);
        EXPECT_EQ(src.pixelsCalls + dst.pixelsCalls, 0) << c.x << "," << c.y;
    }
    ExpectPlacement(dst, 0, 0, 0, 0, nullptr);
}

TEST(CompositeClip, RandomPlacementsMatchTheGeometry)
{
    std::mt19937 rng(77);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        const bool srcUp = round & 1, dstUp = round & 2;
        TestBitmap src = MakeSource(pick(1, 12), pick(1, 9), srcUp);
        TestBitmap dst(pick(1, 11), pick(1, 8), pick(0, 3), dstUp, kUntouched);
        const PIX_Rect rect{pick(-6, 13), pick(-6, 10), pick(-2, 16), pick(-2, 12)};
        const bool useRect = round % 3 != 0;
        const int32_t x = pick(-14, 12), y = pick(-10, 9);
        PIX_Composite(&dst, &src, x, y, useRect ? &rect : nullptr, 1.0f, PIX_MODE_COPY);
        ExpectPlacement(dst, src.width, src.height, x, y, useRect ? &rect : nullptr);
    }
}

TEST(CompositeClip, BlendedPixelsAreCombinedExactlyOnce)
{
    TestBitmap src(9, 7, 0, false, 0x01010101);
    TestBitmap dst(6, 5, 2, true, 0);
    const PIX_Rect rect{-2, 1, 8, 7};
    PIX_Composite(&dst, &src, -1, 2, &rect, 1.0f, PIX_MODE_ADD);
    // Visible: destination columns 1..5 (source 0..4 shifted by 2 - 1), rows 2..4.
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(dst.At(x, y), (x >= 1 && y >= 2) ? 0x01010101u : 0u) << x << "," << y;
}

TEST(CompositeBottomUp, PicturesMatchTopDownWhateverTheRowOrder)
{
    for (int32_t mode : {PIX_MODE_COPY, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA, PIX_MODE_OVERLAY}) {
        for (int combo = 0; combo < 4; ++combo) {
            TestBitmap src = MakeSource(7, 5, combo & 1);
            TestBitmap flatSrc = MakeSource(7, 5, false);
            TestBitmap dst(9, 6, 1, combo & 2, kUntouched);
            TestBitmap flatDst(9, 6, 1, false, kUntouched);
            const PIX_Rect rect{1, 1, 6, 5};
            PIX_Composite(&dst, &src, 3, -1, &rect, 0.6f, mode);
            PIX_Composite(&flatDst, &flatSrc, 3, -1, &rect, 0.6f, mode);
            for (int32_t y = 0; y < 6; ++y)
                for (int32_t x = 0; x < 9; ++x)
                    ASSERT_EQ(dst.At(x, y), flatDst.At(x, y)) << "combo " << combo << " at " << x << "," << y;
        }
    }
}

TEST(CompositeBottomUp, ImageRowZeroIsTheLastStoredRow)
{
    TestBitmap src = MakeSource(4, 3, false);
    TestBitmap dst(4, 3, 0, true, kUntouched);
    PIX_Composite(&dst, &src, 0, 0, nullptr, 1.0f, PIX_MODE_COPY);
    EXPECT_EQ(dst.storage[2 * 4 + 1], SourceValue(1, 0));
    EXPECT_EQ(dst.storage[0 * 4 + 1], SourceValue(1, 2));
}

// Fill: covered pixels are those of (x, y, w, h) inside the bitmap.
void ExpectFillArea(TestBitmap& bitmap, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour)
{
    for (int32_t py = 0; py < bitmap.height; ++py)
        for (int32_t px = 0; px < bitmap.width; ++px) {
            const bool inside = px >= x && px < x + w && py >= y && py < y + h;
            ASSERT_EQ(bitmap.At(px, py), inside ? colour : kUntouched) << px << "," << py;
        }
    for (int32_t row = 0; row < bitmap.height; ++row)
        for (int32_t pad = bitmap.width; pad < bitmap.stride; ++pad)
            ASSERT_EQ(bitmap.storage[size_t(row * bitmap.stride + pad)], kUntouched);
}

TEST(FillClip, RandomRectanglesCoverTheirIntersection)
{
    std::mt19937 rng(99);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        TestBitmap bitmap(pick(1, 12), pick(1, 9), pick(0, 3), round & 1, kUntouched);
        const int32_t x = pick(-10, 13), y = pick(-10, 10), w = pick(-2, 16), h = pick(-2, 14);
        PIX_FillArea(&bitmap, x, y, w, h, 0xFF102030, 1.0f, PIX_MODE_COPY);
        ExpectFillArea(bitmap, x, y, w, h, 0xFF102030);
    }
}

TEST(FillClip, BottomUpFillAddressesImageRows)
{
    TestBitmap bitmap(5, 4, 0, true, kUntouched);
    PIX_FillArea(&bitmap, 1, 0, 2, 1, 0x11111111, 1.0f, PIX_MODE_COPY);
    EXPECT_EQ(bitmap.storage[3 * 5 + 1], 0x11111111u);
    EXPECT_EQ(bitmap.storage[0 * 5 + 1], kUntouched);
    ExpectFillArea(bitmap, 1, 0, 2, 1, 0x11111111);
}

}   // namespace
