#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CombineReference.h"
#include "pix/PIX_FillArea.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Mode.h"

namespace {

std::vector<uint32_t> Destinations()
{
    std::vector<uint32_t> pixels;
    const uint32_t edges[] = {0, 1, 64, 127, 128, 129, 200, 254, 255};
    for (uint32_t a : edges)
        for (uint32_t v : edges)
            pixels.push_back(a << 24 | v << 16 | (255 - v) << 8 | (v ^ 0x55));
    std::mt19937 rng(4321);
    while (pixels.size() < 1024)
        pixels.push_back(rng());
    return pixels;
}

int CountFillMismatches(uint32_t colour, float weight, int32_t mode)
{
    const std::vector<uint32_t> before = Destinations();
    PIX_MemBitmap bitmap;
    bitmap.Resize(32, 32);
    for (size_t i = 0; i < before.size(); ++i)
        bitmap.Pixels()[i] = before[i];
    PIX_FillArea(&bitmap, 0, 0, 32, 32, colour, weight, mode);
    int mismatches = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const uint32_t expected = RefFill(before[i], colour, weight, mode);
        if (bitmap.Pixels()[i] != expected && ++mismatches <= 5)
            ADD_FAILURE() << std::hex << "mode 0x" << mode << " weight " << weight << " colour 0x" << colour << ": d=0x"
                          << before[i] << " expected 0x" << expected << " got 0x" << bitmap.Pixels()[i];
    }
    return mismatches;
}

const uint32_t kColours[] = {0xFFFFFFFF, 0x00000000, 0x80C86432, 0x40FF0080, 0xC01F7FE0, 0x01FEFE01};

TEST(FillArea, EveryKindMatchesTheRuleAtManyWeights)
{
    for (int32_t kind = PIX_MODE_COPY; kind <= PIX_MODE_HSV_ADJUST; ++kind)
        for (bool sourceAlpha : {false, true})
            for (float weight : {1.0f, 0.75f, 0.5f, 0.25f, 0.999f, 0.3f, 0.01f})
                for (uint32_t colour : kColours)
                    EXPECT_EQ(CountFillMismatches(colour, weight, kind | (sourceAlpha ? PIX_MODE_SOURCE_ALPHA : 0)), 0);
}

TEST(FillArea, CopyFastPathsOnWholeWords)
{
    struct {
        float weight;
        uint32_t d, colour, expected;
    } cases[] = {
        {1.0f, 0x12345678, 0x00ABCDEF, 0x00ABCDEF},   // stores the colour, alpha byte included
        {0.5f, 0xFF000000, 0x00FF8040, 0x7F7F4020},   // averages every byte, alpha included
        {0.25f, 0xFFFFFFFF, 0x00000000, 0xBEBEBEBE},   // d/2 + d/4 + c/4, each term truncated
        {0.25f, 0x00000000, 0xFFFFFFFF, 0x3F3F3F3F}, {0.75f, 0x00000000, 0xFFFFFFFF, 0xBEBEBEBE},   // c/4 + d/4 + c/2
        {0.75f, 0xFFFFFFFF, 0x00000000, 0x3F3F3F3F},
    };
    for (const auto& c : cases) {
        PIX_MemBitmap bitmap;
        bitmap.Resize(3, 2);
        for (int i = 0; i < 8; ++i)
            bitmap.Pixels()[i] = c.d;
        PIX_FillArea(&bitmap, 0, 0, 3, 2, c.colour, c.weight, PIX_MODE_COPY);
        EXPECT_EQ(bitmap.Pixels()[0], c.expected) << c.weight;
        EXPECT_EQ(bitmap.Pixels()[6], c.expected) << c.weight;
        EXPECT_EQ(bitmap.Pixels()[3], c.d) << "row padding must stay";
    }
}

TEST(FillArea, SourceAlphaScalesTheWeightByTheColourAlpha)
{
    PIX_MemBitmap bitmap;
    bitmap.Resize(1, 1);
    // Alpha 0 makes the weight 0: nothing happens.
    bitmap.Pixels()[0] = 0xFF000000;
    PIX_FillArea(&bitmap, 0, 0, 1, 1, 0x00FF8040, 1.0f, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA);
    EXPECT_EQ(bitmap.Pixels()[0], 0xFF000000u);
    // Alpha 128 gives 128 / 255 = 0.502, integer weight 128: the averaging path.
    PIX_FillArea(&bitmap, 0, 0, 1, 1, 0x80FF8040, 1.0f, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA);
    EXPECT_EQ(bitmap.Pixels()[0], 0xBF7F4020u);
}

TEST(FillArea, ChannelCopyKindsAndDegenerateCallsDoNothing)
{
    PIX_MemBitmap bitmap;
    bitmap.Resize(2, 2);
    for (int i = 0; i < 8; ++i)
        bitmap.Pixels()[i] = 0x12345678;
    PIX_FillArea(&bitmap, 0, 0, 2, 2, 0xFFFFFFFF, 1.0f, PIX_ChannelCopyMode(1, 2));
    PIX_FillArea(&bitmap, 0, 0, 2, 2, 0xFFFFFFFF, 0.0f, PIX_MODE_COPY);
    PIX_FillArea(&bitmap, 0, 0, 2, 2, 0xFFFFFFFF, 0.002f, PIX_MODE_ADD);
    PIX_FillArea(&bitmap, 2, 0, 2, 2, 0xFFFFFFFF, 1.0f, PIX_MODE_COPY);
    PIX_FillArea(&bitmap, -2, 0, 2, 2, 0xFFFFFFFF, 1.0f, PIX_MODE_COPY);
    PIX_FillArea(&bitmap, 0, 0, 0, 2, 0xFFFFFFFF, 1.0f, PIX_MODE_COPY);
    PIX_FillArea(nullptr, 0, 0, 2, 2, 0xFFFFFFFF, 1.0f, PIX_MODE_COPY);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(bitmap.Pixels()[i], 0x12345678u);
    PIX_MemBitmap empty;
    PIX_FillArea(&empty, 0, 0, 2, 2, 0xFFFFFFFF, 1.0f, PIX_MODE_COPY);
    EXPECT_EQ(empty.Pixels(), nullptr);
}

}   // namespace
