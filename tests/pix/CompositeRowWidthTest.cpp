// COPY + SOURCE_ALPHA at full weight goes through block-wise vector code with
// short cuts for opaque and transparent runs and a separate row tail; every
// row width, alignment and aliasing must still give the per-pixel rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "TestBitmap.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_Mode.h"

namespace {

constexpr int32_t kMode = PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA;
constexpr int32_t kHeight = 3;

// Random colours whose alphas come in runs: transparent, opaque, or mixed
// (which still hits 0 and 255 now and then), so blocks of every kind and
// every boundary between kinds occur.
void FillWithRuns(TestBitmap& b, std::mt19937& rng)
{
    int32_t runLeft = 0;
    int kind = 0;
    for (PIX_Pixel32& p : b.storage) {
        if (runLeft == 0) {
            runLeft = 1 + static_cast<int32_t>(rng() % 9);
            kind = static_cast<int>(rng() % 3);
        }
        --runLeft;
        uint32_t alpha = kind == 0 ? 0u : kind == 1 ? 255u : rng() % 256;
        if (kind == 2 && rng() % 8 == 0)
            alpha = rng() % 2 ? 255u : 0u;
        p = (static_cast<uint32_t>(rng()) & 0x00FFFFFFu) | alpha << 24;
    }
}

// The rule one pixel at a time, rows from the top, columns from the left,
// each pixel read from memory as the earlier ones left it. `src` may be `dst`.
void Reference(TestBitmap& dst, TestBitmap& src, int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, int32_t cols,
               int32_t rows)
{
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c) {
            PIX_Pixel32& d = dst.At(toX + c, toY + r);
            d = PIX_CombineCopySourceAlphaFull(d, src.At(fromX + c, fromY + r));
        }
}

std::string FirstDifference(const TestBitmap& got, const TestBitmap& want)
{
    for (size_t i = 0; i < got.storage.size(); ++i)
        if (got.storage[i] != want.storage[i])
            return "word " + std::to_string(i) + ": " + std::to_string(got.storage[i]) + " instead of " +
                std::to_string(want.storage[i]);
    return std::string();
}

TEST(CompositeRowWidth, EveryWidthAndOffsetMatchesTheRule)
{
    std::mt19937 rng(20261207);
    for (int32_t width = 1; width <= 40; ++width)
        for (int32_t padding : {0, 1, 3})
            for (int32_t srcLeft : {0, 1, 2, 3})
                for (int32_t dstX : {0, 1, 3}) {
                    const bool bottomUp = (width + padding) % 2 == 1;
                    TestBitmap src(srcLeft + width + 2, kHeight, padding, bottomUp);
                    TestBitmap dst(dstX + width + 5, kHeight + 1, 2 - padding % 2, !bottomUp);
                    FillWithRuns(src, rng);
                    FillWithRuns(dst, rng);
                    TestBitmap want = dst;
                    Reference(want, src, srcLeft, 0, dstX, 1, width, kHeight);

                    const PIX_Rect from{srcLeft, 0, srcLeft + width, kHeight};
                    PIX_Composite(&dst, &src, dstX, 1, &from, 1.0f, kMode);
                    const std::string diff = FirstDifference(dst, want);
                    ASSERT_TRUE(diff.empty()) << "width " << width << " padding " << padding << " source left "
                                              << srcLeft << " at x " << dstX << ": " << diff;
                }
}

// A bitmap composited onto itself: the same window, and windows shifted by a
// little in either direction so that a row overlaps its own source.
TEST(CompositeRowWidth, SelfCompositeMatchesTheRuleInPixelOrder)
{
    std::mt19937 rng(77);
    const struct {
        int32_t dx;
        int32_t dy;
    } shifts[] = {{0, 0}, {1, 0}, {-1, 0}, {3, 0}, {-4, 0}, {5, 0}, {0, 1}, {0, -1}, {2, 1}, {-3, -1}, {4, -1}};
    for (int32_t width = 1; width <= 40; ++width)
        for (const auto& shift : shifts)
            for (bool bottomUp : {false, true}) {
                const int32_t fromX = 5;
                const int32_t fromY = 1;
                TestBitmap b(width + 12, kHeight + 2, 1, bottomUp);
                FillWithRuns(b, rng);
                TestBitmap want = b;
                Reference(want, want, fromX, fromY, fromX + shift.dx, fromY + shift.dy, width, kHeight);

                const PIX_Rect from{fromX, fromY, fromX + width, fromY + kHeight};
                PIX_Composite(&b, &b, fromX + shift.dx, fromY + shift.dy, &from, 1.0f, kMode);
                const std::string diff = FirstDifference(b, want);
                ASSERT_TRUE(diff.empty()) << "width " << width << " shift " << shift.dx << "," << shift.dy
                                          << (bottomUp ? " bottom-up" : "") << ": " << diff;
            }
}

}   // namespace
