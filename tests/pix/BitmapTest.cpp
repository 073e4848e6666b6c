#include <gtest/gtest.h>

#include <cstdint>

#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_ReciprocalTable.h"
#include "pix/PIX_SysBitmap.h"

namespace {

bool Aligned64(const void* p)
{
    return (reinterpret_cast<uintptr_t>(p) & 63) == 0;
}

TEST(MemBitmap, StartsEmpty)
{
    PIX_MemBitmap bitmap;
    EXPECT_EQ(bitmap.Pixels(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.Stride(), 0);
    EXPECT_EQ(bitmap.Capacity(), 0);
    EXPECT_FALSE(bitmap.IsBottomUp());
    EXPECT_EQ(bitmap.DeviceContext(), nullptr);
    EXPECT_EQ(bitmap.Extension(1, nullptr), 0);
}

TEST(MemBitmap, RowsArePaddedToFourPixelsAndAligned)
{
    PIX_MemBitmap bitmap;
    const int32_t strides[] = {4, 4, 4, 4, 8, 8, 8, 8, 12};
    for (int32_t w = 1; w <= 9; ++w) {
        ASSERT_TRUE(bitmap.Resize(w, 3));
        EXPECT_EQ(bitmap.Stride(), strides[w - 1]) << w;
        EXPECT_TRUE(Aligned64(bitmap.Pixels())) << w;
    }
    PIX_MemBitmap fresh;
    fresh.Resize(10, 3);
    EXPECT_EQ(fresh.Capacity(), 3 * 12 * 4);
    // The whole padded block is usable.
    for (int32_t i = 0; i < 3 * 12; ++i)
        fresh.Pixels()[i] = 0xFFFFFFFFu;
}

TEST(MemBitmap, SameSizeChangesNothing)
{
    PIX_MemBitmap bitmap;
    bitmap.Resize(5, 5);
    PIX_Pixel32* pixels = bitmap.Pixels();
    EXPECT_FALSE(bitmap.Resize(5, 5));
    EXPECT_EQ(bitmap.Pixels(), pixels);
}

TEST(MemBitmap, GrowsWithQuarterHeadroomAndNeverShrinks)
{
    PIX_MemBitmap bitmap;
    bitmap.Resize(100, 100);
    EXPECT_EQ(bitmap.Capacity(), 40000);
    PIX_Pixel32* pixels = bitmap.Pixels();
    EXPECT_TRUE(bitmap.Resize(10, 10));
    EXPECT_EQ(bitmap.Pixels(), pixels);
    EXPECT_EQ(bitmap.Capacity(), 40000);
    EXPECT_TRUE(bitmap.Resize(100, 100));
    EXPECT_EQ(bitmap.Pixels(), pixels);
    EXPECT_EQ(bitmap.Capacity(), 40000);

    // Needs 100 * 104 * 4 = 41600 bytes: capacity becomes 41600 / 4 * 5.
    EXPECT_TRUE(bitmap.Resize(101, 100));
    EXPECT_EQ(bitmap.Capacity(), 52000);
    EXPECT_TRUE(Aligned64(bitmap.Pixels()));
    // Fits in the headroom: no reallocation.
    pixels = bitmap.Pixels();
    EXPECT_TRUE(bitmap.Resize(120, 108));
    EXPECT_EQ(bitmap.Capacity(), 52000);
    EXPECT_EQ(bitmap.Pixels(), pixels);
    for (int32_t i = 0; i < 120 * 108; ++i)
        bitmap.Pixels()[i] = 0;
}

TEST(MemBitmap, EmptyOrNegativeSizesFreeTheStorage)
{
    const int32_t sizes[][2] = {{0, 5}, {5, 0}, {-4, 5}, {5, -4}, {-4, -4}};
    for (const auto& size : sizes) {
        PIX_MemBitmap bitmap;
        bitmap.Resize(8, 8);
        EXPECT_TRUE(bitmap.Resize(size[0], size[1]));
        EXPECT_EQ(bitmap.Pixels(), nullptr);
        EXPECT_EQ(bitmap.Width(), 0);
        EXPECT_EQ(bitmap.Height(), 0);
        EXPECT_EQ(bitmap.Capacity(), 0);
    }
}

TEST(MemBitmap, UnaddressableSizeLeavesAnEmptyBitmap)
{
    PIX_MemBitmap bitmap;
    bitmap.Resize(8, 8);
    EXPECT_TRUE(bitmap.Resize(100000, 100000));
    EXPECT_EQ(bitmap.Pixels(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
}

TEST(SysBitmap, IsAPaddedSurfaceWithoutDeviceContextHere)
{
    PIX_SysBitmap surface(1001, 270);
    EXPECT_EQ(surface.Width(), 1001);
    EXPECT_EQ(surface.Height(), 270);
    EXPECT_EQ(surface.Stride(), 1004);
    EXPECT_FALSE(surface.IsBottomUp());
    ASSERT_NE(surface.Pixels(), nullptr);
    EXPECT_TRUE(Aligned64(surface.Pixels()));
    EXPECT_EQ(surface.DeviceContext(), nullptr);
    for (int32_t i = 0; i < 1004 * 270; ++i)
        surface.Pixels()[i] = 0;
}

TEST(SysBitmap, KeepsItsSurfaceWhenTheNewSizeFits)
{
    PIX_SysBitmap surface;
    EXPECT_EQ(surface.Pixels(), nullptr);
    EXPECT_TRUE(surface.Resize(50, 40));
    PIX_Pixel32* pixels = surface.Pixels();
    EXPECT_FALSE(surface.Resize(50, 40));
    EXPECT_TRUE(surface.Resize(30, 20));
    EXPECT_EQ(surface.Pixels(), pixels);
    EXPECT_EQ(surface.Stride(), 52);
    EXPECT_EQ(surface.Width(), 30);
    EXPECT_TRUE(surface.Resize(53, 40));
    EXPECT_EQ(surface.Stride(), 56);
    ASSERT_NE(surface.Pixels(), nullptr);
    for (int32_t i = 0; i < 56 * 40; ++i)
        surface.Pixels()[i] = 0;
}

TEST(SysBitmap, ZeroSizeReleasesTheSurface)
{
    PIX_SysBitmap surface(16, 16);
    EXPECT_FALSE(surface.Resize(0, 0));
    EXPECT_EQ(surface.Pixels(), nullptr);
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_TRUE(surface.Resize(4, 4));
    EXPECT_NE(surface.Pixels(), nullptr);
}

TEST(ReciprocalTable, HoldsFloorOf65536OverIMinusOne)
{
    EXPECT_EQ(PIX_ReciprocalTable[0], 0);
    EXPECT_EQ(PIX_ReciprocalTable[1], 65535);
    EXPECT_EQ(PIX_ReciprocalTable[2], 32767);
    EXPECT_EQ(PIX_ReciprocalTable[3], 21844);
    EXPECT_EQ(PIX_ReciprocalTable[4], 16383);
    EXPECT_EQ(PIX_ReciprocalTable[254], 257);
    EXPECT_EQ(PIX_ReciprocalTable[255], 256);
    for (int i = 1; i < 256; ++i)
        EXPECT_EQ(PIX_ReciprocalTable[size_t(i)], 65536 / i - 1) << i;
}

}   // namespace
