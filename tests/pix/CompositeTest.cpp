#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "CombineReference.h"
#include "TestBitmap.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Mode.h"

namespace {

constexpr int32_t kSide = 64;

// Source and destination pictures covering the channel values where the rules
// turn (0, 1, 127, 128, 254, 255, ...) in every alpha, then random pixels.
void MakePictures(std::vector<uint32_t>& src, std::vector<uint32_t>& dst)
{
    const int edges[] = {0, 1, 2, 63, 64, 127, 128, 129, 191, 192, 254, 255};
    std::mt19937 rng(1234);
    src.clear();
    dst.clear();
    for (int sa : edges)
        for (int v : edges)
            for (int w : {0, 128, 255}) {
                src.push_back(uint32_t(sa) << 24 | uint32_t(v) << 16 | uint32_t(255 - v) << 8 | uint32_t(w));
                dst.push_back(uint32_t(255 - sa) << 24 | uint32_t(w) << 16 | uint32_t(v) << 8 | uint32_t(255 - w));
            }
    while (src.size() < size_t(kSide * kSide)) {
        src.push_back(rng());
        dst.push_back(rng());
    }
}

void Fill(PIX_MemBitmap& bitmap, const std::vector<uint32_t>& pixels)
{
    bitmap.Resize(kSide, kSide);
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x)
            bitmap.Pixels()[y * bitmap.Stride() + x] = pixels[size_t(y * kSide + x)];
}

// Composites the test pictures with `mode` and `weight` and counts pixels that
// differ from the reference, printing the first few.
int CountMismatches(int32_t mode, float weight)
{
    std::vector<uint32_t> src, dst;
    MakePictures(src, dst);
    PIX_MemBitmap s, d;
    Fill(s, src);
    Fill(d, dst);
    PIX_Composite(&d, &s, 0, 0, nullptr, weight, mode);
    int mismatches = 0;
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x) {
            const size_t i = size_t(y * kSide + x);
            const uint32_t expected = RefComposite(dst[i], src[i], weight, mode);
            const uint32_t got = d.Pixels()[y * d.Stride() + x];
            if (got != expected && ++mismatches <= 5)
                ADD_FAILURE() << std::hex << "mode 0x" << mode << " weight " << weight << ": d=0x" << dst[i] << " s=0x"
                              << src[i] << " expected 0x" << expected << " got 0x" << got;
        }
    return mismatches;
}

class CombineTable : public ::testing::TestWithParam<std::tuple<int32_t, bool, float>> {};

TEST_P(CombineTable, EveryPixelMatchesTheRule)
{
    const int32_t kind = std::get<0>(GetParam());
    const int32_t mode = kind | (std::get<1>(GetParam()) ? PIX_MODE_SOURCE_ALPHA : 0);
    EXPECT_EQ(CountMismatches(mode, std::get<2>(GetParam())), 0);
}

std::string CombineName(const ::testing::TestParamInfo<CombineTable::ParamType>& info)
{
    static const char* const kinds[] = {"Copy", "Add", "Dodge", "Multiply", "Overlay", "HsvAdjust"};
    char weight[16];
    std::snprintf(weight, sizeof weight, "%04d", int(std::get<2>(info.param) * 1000.0f + 0.5f));
    return std::string(kinds[std::get<0>(info.param)]) + (std::get<1>(info.param) ? "SourceAlpha" : "") + "_w" + weight;
}

INSTANTIATE_TEST_SUITE_P(AllModes, CombineTable,
                         ::testing::Combine(::testing::Values(PIX_MODE_COPY, PIX_MODE_ADD, PIX_MODE_DODGE,
                                                              PIX_MODE_MULTIPLY, PIX_MODE_OVERLAY, PIX_MODE_HSV_ADJUST),
                                            ::testing::Bool(), ::testing::Values(1.0f, 0.5f, 0.999f, 0.3f, 0.75f)),
                         CombineName);

TEST(Composite, ChannelCopyMovesOneByteForEveryPair)
{
    for (int32_t d = 0; d < 4; ++d)
        for (int32_t s = 0; s < 4; ++s) {
            // The weight is not used once past the zero check, nor is the flag.
            EXPECT_EQ(CountMismatches(PIX_ChannelCopyMode(d, s), 0.3f), 0);
            EXPECT_EQ(CountMismatches(PIX_ChannelCopyMode(d, s) | PIX_MODE_SOURCE_ALPHA, 1.0f), 0);
        }
    PIX_MemBitmap src, dst;
    src.Resize(1, 1);
    dst.Resize(1, 1);
    src.Pixels()[0] = 0x11223344;
    dst.Pixels()[0] = 0xAABBCCDD;
    PIX_Composite(&dst, &src, 0, 0, nullptr, 1.0f, PIX_ChannelCopyMode(3, 0));
    EXPECT_EQ(dst.Pixels()[0], 0x44BBCCDDu);
}

TEST(Composite, UnusedModeBitsAndKindsAreIgnored)
{
    EXPECT_EQ(CountMismatches(PIX_MODE_ADD | 0x7F000100, 0.75f), 0);
    // Kinds 6 to 0xEF do nothing; the reference leaves the destination alone.
    EXPECT_EQ(CountMismatches(6, 0.75f), 0);
    EXPECT_EQ(CountMismatches(0xEF | PIX_MODE_SOURCE_ALPHA, 1.0f), 0);
}

TEST(Composite, PlainRuleForOnePixelMatchesTheTable)
{
    std::vector<uint32_t> src, dst;
    MakePictures(src, dst);
    for (int32_t kind = PIX_MODE_COPY; kind <= PIX_MODE_HSV_ADJUST; ++kind)
        for (float weight : {0.999f, 0.3f, 0.75f})
            for (size_t i = 0; i < src.size(); i += 7) {
                const uint32_t got =
                    PIX_CombinePlain(kind, dst[i], src[i], int32_t(src[i] >> 24), PIX_IntegerWeight(weight));
                ASSERT_EQ(got, RefComposite(dst[i], src[i], weight, kind)) << kind << " " << weight << " " << i;
            }
    EXPECT_EQ(PIX_CombinePlain(6, 0x12345678, 0xFFFFFFFF, 255, 256), 0x12345678u);
}

struct OnePixel {
    OnePixel(uint32_t s, uint32_t d)
    {
        src.Resize(1, 1);
        dst.Resize(1, 1);
        src.Pixels()[0] = s;
        dst.Pixels()[0] = d;
    }
    uint32_t Run(float weight, int32_t mode)
    {
        PIX_Composite(&dst, &src, 0, 0, nullptr, weight, mode);
        return dst.Pixels()[0];
    }
    PIX_MemBitmap src, dst;
};

TEST(Composite, PlainCopyAtFullWeightCopiesAlpha)
{
    EXPECT_EQ(OnePixel(0x00123456, 0xFF654321).Run(1.0f, PIX_MODE_COPY), 0x00123456u);
}

TEST(Composite, SourceAlphaCopyOverOpaqueDestination)
{
    const int32_t mode = PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA;
    EXPECT_EQ(OnePixel(0x00C86432, 0xFF1020F0).Run(1.0f, mode), 0xFF1020F0u);
    EXPECT_EQ(OnePixel(0xFFC86432, 0xFF1020F0).Run(1.0f, mode), 0xFFC86432u);
    // Red 200 + (16 - 200) * 127 / 256 = 109, green 100 + (32 - 100) * 127 / 256 = 67,
    // blue 50 + (240 - 50) * 127 / 256 = 144, alpha min(255, 255 + 128).
    EXPECT_EQ(OnePixel(0x80C86432, 0xFF1020F0).Run(1.0f, mode), 0xFF6D4390u);
}

TEST(Composite, AddSaturatesPerChannel)
{
    EXPECT_EQ(OnePixel(0x20808080, 0x10C04020).Run(1.0f, PIX_MODE_ADD), 0x30FFC0A0u);
}

TEST(Composite, MultiplyByOpaqueWhiteScalesBy255Over256)
{
    EXPECT_EQ(OnePixel(0xFFFFFFFF, 0xFF64FF64).Run(1.0f, PIX_MODE_MULTIPLY), 0xFE63FE63u);
}

TEST(Composite, HalfWeightCopyIsShiftAndMask)
{
    // The per-channel rule would give 1 for channels 1 over 0; the word average gives 0.
    EXPECT_EQ(OnePixel(0x01010101, 0x00000000).Run(0.5f, PIX_MODE_COPY), 0x00000000u);
    EXPECT_EQ(OnePixel(0xFF804020, 0x00204080).Run(0.5f, PIX_MODE_COPY), 0x7F504050u);
}

TEST(Composite, ZeroAndTinyWeightsDrawNothing)
{
    EXPECT_EQ(OnePixel(0xFFFFFFFF, 0x12345678).Run(0.0f, PIX_MODE_COPY), 0x12345678u);
    EXPECT_EQ(OnePixel(0xFFFFFFFF, 0x12345678).Run(0.003f, PIX_MODE_ADD), 0x12345678u);
}

TEST(Composite, MissingBitmapsDoNothing)
{
    PIX_MemBitmap empty, one;
    one.Resize(2, 2);
    one.Pixels()[0] = 7;
    PIX_Composite(nullptr, &one, 0, 0, nullptr, 1.0f, PIX_MODE_COPY);
    PIX_Composite(&one, nullptr, 0, 0, nullptr, 1.0f, PIX_MODE_COPY);
    PIX_Composite(&one, &empty, 0, 0, nullptr, 1.0f, PIX_MODE_COPY);
    PIX_Composite(&empty, &one, 0, 0, nullptr, 1.0f, PIX_MODE_COPY);
    EXPECT_EQ(one.Pixels()[0], 7u);
    EXPECT_EQ(empty.Pixels(), nullptr);
}

}   // namespace
