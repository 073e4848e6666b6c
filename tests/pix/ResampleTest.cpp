// Resampling strips frame by frame: sizes, the area weights, alpha-weighted
// colour, frames kept apart, and the arguments it refuses.
#include "TestBitmap.h"

#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Resample.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

PIX_Pixel32 At(const PIX_IBitmap& b, int32_t x, int32_t y)
{
    return PIX_RowPointer(b, b.Pixels(), y)[x];
}

}   // namespace

TEST(Resample, FrameSizesRoundUpAndAUniformFrameStaysUniform)
{
    // Two frames of 10 x 7, one red, one half-transparent blue, bottom-up.
    TestBitmap src(10, 14, 3, true);
    for (int32_t y = 0; y < 14; ++y)
        for (int32_t x = 0; x < 10; ++x)
            src.At(x, y) = y < 7 ? 0xFFFF0000u : 0x800000FFu;
    for (int32_t num : {5, 6, 7}) {
        SCOPED_TRACE(num);
        std::unique_ptr<PIX_MemBitmap> out(PIX_ResampleFrames(src, 2, num, 8));
        ASSERT_NE(out, nullptr);
        const int32_t fw = (10 * num + 7) / 8;
        const int32_t fh = (7 * num + 7) / 8;
        EXPECT_EQ(out->Width(), fw);
        EXPECT_EQ(out->Height(), 2 * fh);
        for (int32_t y = 0; y < 2 * fh; ++y)
            for (int32_t x = 0; x < fw; ++x)
                ASSERT_EQ(At(*out, x, y), y < fh ? 0xFFFF0000u : 0x800000FFu) << x << "," << y;
    }
}

TEST(Resample, AreaWeightsAndTransparentPixelsLendNoColour)
{
    // 2 -> 1 across: each output pixel is the mean of two source pixels.
    TestBitmap src(4, 1, 0, false);
    src.At(0, 0) = 0xFF000000u;   // opaque black
    src.At(1, 0) = 0xFFFFFFFFu;   // opaque white
    src.At(2, 0) = 0x00FFFFFFu;   // transparent white
    src.At(3, 0) = 0xFF102030u;   // opaque colour
    std::unique_ptr<PIX_MemBitmap> out(PIX_ResampleFrames(src, 1, 1, 2));
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Width(), 2);
    ASSERT_EQ(out->Height(), 1);
    EXPECT_EQ(At(*out, 0, 0), 0xFF808080u);   // 127.5 rounds up
    // Half the alpha, the colour of the opaque pixel alone.
    EXPECT_EQ(At(*out, 1, 0), 0x80102030u);

    // 3 source pixels onto 2 (ratio 2/3): the middle one is shared halfway.
    TestBitmap three(3, 1, 0, false);
    three.At(0, 0) = 0xFF000000u;
    three.At(1, 0) = 0xFF0000F0u;
    three.At(2, 0) = 0xFF000000u;
    out.reset(PIX_ResampleFrames(three, 1, 2, 3));
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Width(), 2);
    // Weights 2 and 1 (of 3): 240 / 3 = 80.
    EXPECT_EQ(At(*out, 0, 0), 0xFF000050u);
    EXPECT_EQ(At(*out, 1, 0), 0xFF000050u);
}

TEST(Resample, FramesDoNotBleedIntoEachOther)
{
    // Three frames 4 high of black, white, black: at 5/8 every output row of
    // the middle frame is pure white although 4 * 5 / 8 is not whole.
    TestBitmap src(4, 12, 0, false);
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 4; ++x)
            src.At(x, y) = (y / 4) == 1 ? 0xFFFFFFFFu : 0xFF000000u;
    std::unique_ptr<PIX_MemBitmap> out(PIX_ResampleFrames(src, 3, 5, 8));
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Height(), 9);
    for (int32_t y = 0; y < 9; ++y)
        EXPECT_EQ(At(*out, 0, y), (y / 3) == 1 ? 0xFFFFFFFFu : 0xFF000000u) << y;
}

TEST(Resample, UpscalingRepeatsAndBlendsAtTheSeams)
{
    TestBitmap src(2, 1, 0, false);
    src.At(0, 0) = 0xFF000000u;
    src.At(1, 0) = 0xFF0000C8u;
    std::unique_ptr<PIX_MemBitmap> out(PIX_ResampleFrames(src, 1, 3, 2));   // 1.5x
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Width(), 3);
    EXPECT_EQ(At(*out, 0, 0), 0xFF000000u);
    EXPECT_EQ(At(*out, 1, 0), 0xFF000064u);   // half of each
    EXPECT_EQ(At(*out, 2, 0), 0xFF0000C8u);
}

TEST(Resample, RefusesWhatMakesNoStrip)
{
    TestBitmap src(4, 6, 0, false, 0xFF000000u);
    EXPECT_EQ(PIX_ResampleFrames(src, 4, 5, 8), nullptr);   // 6 rows are not 4 frames
    EXPECT_EQ(PIX_ResampleFrames(src, 0, 5, 8), nullptr);
    EXPECT_EQ(PIX_ResampleFrames(src, 1, 0, 8), nullptr);
    EXPECT_EQ(PIX_ResampleFrames(src, 1, 5, -8), nullptr);
    EXPECT_EQ(PIX_ResampleFrames(src, 1, 1, 17), nullptr);   // beyond 16 either way
    EXPECT_EQ(PIX_ResampleFrames(src, 1, 65, 64), nullptr);   // a term above 64
    TestBitmap empty(0, 0, 0, false);
    EXPECT_EQ(PIX_ResampleFrames(empty, 1, 5, 8), nullptr);
}
