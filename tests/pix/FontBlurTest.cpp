#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "TestBitmap.h"
#include "pix/PIX_BlurRect.h"

namespace {

// The blur of one channel byte at (x, y) of the picture `p` (w x h), written
// per channel: half the pixel, an eighth of each neighbour, a quarter of the
// one neighbour present at an edge.
int RefBlur(const std::vector<uint32_t>& p, int w, int h, int x, int y, int channel)
{
    auto c = [&](int px, int py) { return int((p[size_t(py * w + px)] >> (8 * channel)) & 255); };
    int out = c(x, y) / 2;
    if (y == 0)
        out += c(x, y + 1) / 4;
    else if (y == h - 1)
        out += c(x, y - 1) / 4;
    else
        out += c(x, y - 1) / 8 + c(x, y + 1) / 8;
    if (x == 0)
        out += c(x + 1, y) / 4;
    else if (x == w - 1)
        out += c(x - 1, y) / 4;
    else
        out += c(x - 1, y) / 8 + c(x + 1, y) / 8;
    return out;
}

// Blurs the top-left w x h of a random bitmap of `side` and checks every pixel:
// the area against the reference, everything else untouched.
void CheckRandom(int w, int h, int bitmapW, int bitmapH, int padding, bool bottomUp, unsigned seed)
{
    std::mt19937 rng(seed);
    TestBitmap bitmap(bitmapW, bitmapH, padding, bottomUp);
    for (int y = 0; y < bitmapH; ++y)
        for (int x = 0; x < bitmapW; ++x)
            bitmap.At(x, y) = rng();
    std::vector<uint32_t> before(size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            before[size_t(y * w + x)] = bitmap.At(x, y);
    TestBitmap untouched = bitmap;

    PIX_BlurRect(&bitmap, w, h);

    int mismatches = 0;
    for (int y = 0; y < bitmapH; ++y)
        for (int x = 0; x < bitmapW; ++x) {
            uint32_t expected = untouched.At(x, y);
            if (x < w && y < h) {
                expected = 0;
                for (int ch = 0; ch < 4; ++ch)
                    expected |= uint32_t(RefBlur(before, w, h, x, y, ch)) << (8 * ch);
            }
            if (bitmap.At(x, y) != expected && ++mismatches <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") of " << w << "x" << h << std::hex << ": expected 0x"
                              << expected << " got 0x" << bitmap.At(x, y);
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(FontBlur, EveryByteMatchesTheRuleInsideTheAreaOnly)
{
    CheckRandom(7, 5, 11, 9, 3, false, 1);
    CheckRandom(2, 2, 2, 2, 0, false, 2);
    CheckRandom(2, 9, 5, 9, 0, false, 3);
    CheckRandom(9, 2, 9, 4, 1, false, 4);
}

TEST(FontBlur, BottomUpRowsGiveTheSamePicture)
{
    CheckRandom(13, 6, 16, 8, 2, true, 5);
}

TEST(FontBlur, RowsWiderThanTheStackCopy)
{
    CheckRandom(1500, 3, 1503, 4, 1, false, 6);
}

TEST(FontBlur, OneWhitePixelSpreadsToItsNeighbours)
{
    TestBitmap bitmap(5, 5, 0, false, 0);
    bitmap.At(2, 2) = 0xFFFFFFFF;
    bitmap.At(1, 0) = 0x000000FF;
    PIX_BlurRect(&bitmap, 5, 5);
    EXPECT_EQ(bitmap.At(2, 2), 0x7F7F7F7Fu);
    EXPECT_EQ(bitmap.At(2, 1), 0x1F1F1F1Fu);
    EXPECT_EQ(bitmap.At(2, 3), 0x1F1F1F1Fu);
    EXPECT_EQ(bitmap.At(1, 2), 0x1F1F1F1Fu);
    EXPECT_EQ(bitmap.At(3, 2), 0x1F1F1F1Fu);
    EXPECT_EQ(bitmap.At(3, 3), 0u);
    // A top-row blue pixel: its left neighbour sits on the edge and takes a
    // quarter of it, the others an eighth.
    EXPECT_EQ(bitmap.At(1, 0), 0x7Fu);
    EXPECT_EQ(bitmap.At(0, 0), 0x3Fu);
    EXPECT_EQ(bitmap.At(2, 0), 0x1Fu);
    EXPECT_EQ(bitmap.At(1, 1) & 0xFF, 0x1Fu);
}

TEST(FontBlur, EdgePixelTakesAQuarterOfItsOnlyNeighbour)
{
    TestBitmap bitmap(3, 3, 0, false, 0);
    bitmap.At(1, 0) = 0xFF;
    bitmap.At(0, 1) = 0xFF00;
    PIX_BlurRect(&bitmap, 3, 3);
    // (0, 0) is a corner: a quarter of its right and of its lower neighbour.
    EXPECT_EQ(bitmap.At(0, 0), 0x3F3Fu);
}

TEST(FontBlur, AreasBelowTwoByTwoAreLeftAlone)
{
    TestBitmap bitmap(4, 4, 0, false, 0);
    bitmap.At(0, 0) = 0xFFFFFFFF;
    PIX_BlurRect(&bitmap, 1, 4);
    PIX_BlurRect(&bitmap, 4, 1);
    PIX_BlurRect(&bitmap, 0, 0);
    PIX_BlurRect(nullptr, 4, 4);
    EXPECT_EQ(bitmap.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(bitmap.At(1, 0), 0u);
    EXPECT_EQ(bitmap.At(0, 1), 0u);
}

}   // namespace
