#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>

#include <png.h>
#include <zlib.h>

#include "PngWriter.h"
#include "TestBitmap.h"
#include "pix/PIX_ImageLoaderList.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"

namespace {

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return a << 24 | r << 16 | g << 8 | b;
}

// An image to encode and the pixels it must decode to, row by row.
struct Case {
    PngImage image;
    std::vector<uint32_t> expected;
};

// Packs samples MSB first at `depth` bits each.
std::vector<uint8_t> Pack(const std::vector<int>& samples, int depth)
{
    std::vector<uint8_t> bytes((samples.size() * size_t(depth) + 7) / 8, 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        const size_t bit = i * size_t(depth);
        bytes[bit / 8] |= uint8_t(samples[i] << (8 - depth - int(bit % 8)));
    }
    return bytes;
}

void Put16(std::vector<uint8_t>& row, int v)
{
    row.push_back(uint8_t(v >> 8));
    row.push_back(uint8_t(v & 255));
}

Case Rgb8(bool interlaced, bool alpha, int w, int h)
{
    Case c;
    c.image.width = w;
    c.image.height = h;
    c.image.colourType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    c.image.interlaced = interlaced;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < w; ++x) {
            const int r = (x * 37 + y) & 255, g = (y * 53 + 7) & 255, b = (x * y * 11 + 3) & 255;
            const int a = (x * 19 + y * 29) & 255;
            row.insert(row.end(), {uint8_t(r), uint8_t(g), uint8_t(b)});
            if (alpha)
                row.push_back(uint8_t(a));
            c.expected.push_back(Argb(alpha ? uint32_t(a) : 255u, uint32_t(r), uint32_t(g), uint32_t(b)));
        }
        c.image.rows.push_back(row);
    }
    return c;
}

Case Palette(int depth, int w, int h, bool interlaced)
{
    Case c;
    c.image.width = w;
    c.image.height = h;
    c.image.bitDepth = depth;
    c.image.colourType = PNG_COLOR_TYPE_PALETTE;
    c.image.interlaced = interlaced;
    const int entries = depth == 1 ? 2 : (depth == 2 ? 4 : 10);
    for (int i = 0; i < entries; ++i)
        c.image.palette.insert(c.image.palette.end(), {uint8_t(i * 25), uint8_t(250 - i * 20), uint8_t(i * 7 + 1)});
    // Fewer alpha entries than colours: the rest are opaque.
    const uint8_t alphas[] = {0, 128, 255, 7};
    const int alphaCount = entries < 4 ? entries - 1 : 4;
    c.image.paletteAlpha.assign(alphas, alphas + alphaCount);
    for (int y = 0; y < h; ++y) {
        std::vector<int> indices;
        for (int x = 0; x < w; ++x) {
            const int i = (x * 3 + y) % entries;
            indices.push_back(i);
            const uint32_t a = i < alphaCount ? alphas[i] : 255u;
            c.expected.push_back(Argb(a, uint32_t(i * 25), uint32_t(250 - i * 20), uint32_t(i * 7 + 1)));
        }
        c.image.rows.push_back(depth == 8 ? std::vector<uint8_t>(indices.begin(), indices.end())
                                          : Pack(indices, depth));
    }
    return c;
}

Case Grey(int depth, bool alpha, int w, int h)
{
    Case c;
    c.image.width = w;
    c.image.height = h;
    c.image.bitDepth = depth;
    c.image.colourType = alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
    const int levels = depth >= 8 ? 256 : 1 << depth;
    for (int y = 0; y < h; ++y) {
        std::vector<int> samples;
        std::vector<uint8_t> row;
        for (int x = 0; x < w; ++x) {
            const int v = (x * 5 + y * 3) % levels;
            const int a = (x * 31 + y * 17) & 255;
            samples.push_back(v);
            if (depth == 8) {
                row.push_back(uint8_t(v));
                if (alpha)
                    row.push_back(uint8_t(a));
            }
            const uint32_t grey = uint32_t(v * 255 / (levels - 1));
            c.expected.push_back(Argb(alpha ? uint32_t(a) : 255u, grey, grey, grey));
        }
        c.image.rows.push_back(depth == 8 ? row : Pack(samples, depth));
    }
    return c;
}

// 16-bit samples are cut to their high byte.
Case Sixteen(bool grey, bool interlaced)
{
    Case c;
    c.image.width = 6;
    c.image.height = 5;
    c.image.bitDepth = 16;
    c.image.colourType = grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB_ALPHA;
    c.image.interlaced = interlaced;
    for (int y = 0; y < 5; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 6; ++x) {
            const int r = x * 10000 + y * 255 + 200, g = 65535 - x * 3000 - y, b = y * 12345 + 128,
                      a = (x + 1) * (y + 1) * 2000 + 255;
            if (grey) {
                Put16(row, r);
                c.expected.push_back(Argb(255, uint32_t(r >> 8), uint32_t(r >> 8), uint32_t(r >> 8)));
            } else {
                Put16(row, r);
                Put16(row, g);
                Put16(row, b);
                Put16(row, a);
                c.expected.push_back(Argb(uint32_t(a >> 8), uint32_t(r >> 8), uint32_t(g >> 8), uint32_t(b >> 8)));
            }
        }
        c.image.rows.push_back(row);
    }
    return c;
}

void ExpectDecodes(const Case& c, const char* what)
{
    const std::vector<uint8_t> png = EncodePng(c.image);
    ASSERT_FALSE(png.empty()) << what;
    std::unique_ptr<PIX_MemBitmap> bitmap(PIX_PngFromMemory(png.data(), png.size()));
    ASSERT_NE(bitmap, nullptr) << what;
    ASSERT_EQ(bitmap->Width(), c.image.width) << what;
    ASSERT_EQ(bitmap->Height(), c.image.height) << what;
    int wrong = 0;
    for (int y = 0; y < c.image.height; ++y)
        for (int x = 0; x < c.image.width; ++x) {
            const uint32_t got = bitmap->Pixels()[y * bitmap->Stride() + x];
            const uint32_t want = c.expected[size_t(y * c.image.width + x)];
            if (got != want && ++wrong <= 3)
                ADD_FAILURE() << what << " at " << x << "," << y << std::hex << ": expected 0x" << want << " got 0x"
                              << got;
        }
}

TEST(PngDecode, RgbIsOpaque)
{
    ExpectDecodes(Rgb8(false, false, 5, 3), "rgb");
}

TEST(PngDecode, RgbaKeepsStraightAlpha)
{
    ExpectDecodes(Rgb8(false, true, 9, 4), "rgba");
}

TEST(PngDecode, PaletteWithTransparencyGivesPerPixelAlpha)
{
    ExpectDecodes(Palette(8, 6, 4, false), "palette 8");
    ExpectDecodes(Palette(4, 7, 3, false), "palette 4");
    ExpectDecodes(Palette(2, 9, 2, false), "palette 2");
    ExpectDecodes(Palette(1, 11, 3, false), "palette 1");
}

TEST(PngDecode, GreyBecomesOpaqueEqualChannels)
{
    ExpectDecodes(Grey(8, false, 7, 5), "grey 8");
    ExpectDecodes(Grey(4, false, 9, 3), "grey 4");
    ExpectDecodes(Grey(2, false, 9, 3), "grey 2");
    ExpectDecodes(Grey(1, false, 13, 3), "grey 1");
}

TEST(PngDecode, GreyWithAlpha)
{
    ExpectDecodes(Grey(8, true, 5, 4), "grey alpha");
}

TEST(PngDecode, SixteenBitSamplesKeepTheirHighByte)
{
    ExpectDecodes(Sixteen(false, false), "rgba 16");
    ExpectDecodes(Sixteen(true, false), "grey 16");
}

TEST(PngDecode, InterlacedImages)
{
    ExpectDecodes(Rgb8(true, true, 13, 11), "interlaced rgba");
    ExpectDecodes(Rgb8(true, false, 1, 1), "interlaced single pixel");
    ExpectDecodes(Palette(1, 10, 9, true), "interlaced palette 1");
    ExpectDecodes(Sixteen(false, true), "interlaced rgba 16");
}

TEST(PngDecode, ColourKeysBecomeTransparentPixels)
{
    Case rgb = Rgb8(false, false, 5, 3);
    rgb.image.hasKey = true;
    rgb.image.keyRed = 37;   // pixel (1, 0): r = 37, g = 7, b = 3
    rgb.image.keyGreen = 7;
    rgb.image.keyBlue = 3;
    for (auto& p : rgb.expected)
        if ((p & 0xFFFFFF) == 0x250703)
            p &= 0xFFFFFF;
    ExpectDecodes(rgb, "rgb key");

    Case grey = Grey(8, false, 7, 5);
    grey.image.hasKey = true;
    grey.image.keyGrey = 10;
    for (auto& p : grey.expected)
        if ((p & 0xFF) == 10)
            p &= 0xFFFFFF;
    ExpectDecodes(grey, "grey key");
}

// Chunk extents of an encoded file: [start, end) including length and CRC.
struct Chunk {
    std::string type;
    size_t start, end;
};

std::vector<Chunk> Chunks(const std::vector<uint8_t>& png)
{
    std::vector<Chunk> chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const size_t length =
            size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
        chunks.push_back(Chunk{std::string(reinterpret_cast<const char*>(&png[at + 4]), 4), at, at + 12 + length});
        at += 12 + length;
    }
    return chunks;
}

TEST(PngFailure, ShortOrForeignDataGivesNone)
{
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_EQ(PIX_PngFromMemory(nullptr, 100), nullptr);
    EXPECT_EQ(PIX_PngFromMemory(signature, 7), nullptr);
    EXPECT_EQ(PIX_PngFromMemory(signature, 8), nullptr);
    const uint8_t jpeg[8] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'};
    EXPECT_EQ(PIX_PngFromMemory(jpeg, 8), nullptr);
    const char text[] = "this is plainly not an image at all";
    EXPECT_EQ(PIX_PngFromMemory(text, sizeof text), nullptr);

    std::mt19937 rng(5);
    std::vector<uint8_t> noise(signature, signature + 8);
    for (int i = 0; i < 500; ++i)
        noise.push_back(uint8_t(rng()));
    EXPECT_EQ(PIX_PngFromMemory(noise.data(), noise.size()), nullptr);
}

TEST(PngFailure, TruncatedDataGivesNone)
{
    for (const Case& c : {Rgb8(false, true, 9, 4), Palette(4, 7, 3, false), Rgb8(true, true, 13, 11)}) {
        const std::vector<uint8_t> png = EncodePng(c.image);
        const std::vector<Chunk> chunks = Chunks(png);
        ASSERT_EQ(chunks.back().type, "IEND");
        // Everything up to the image data's last CRC is needed; the end chunk is not read.
        for (size_t cut = 0; cut < chunks.back().start; ++cut)
            ASSERT_EQ(PIX_PngFromMemory(png.data(), cut), nullptr) << "cut at " << cut;
        for (size_t cut = chunks.back().start; cut <= png.size(); ++cut)
            delete PIX_PngFromMemory(png.data(), cut);
    }
}

TEST(PngFailure, CorruptedCriticalChunksGiveNone)
{
    for (const Case& c : {Palette(8, 6, 4, false), Rgb8(true, true, 13, 11), Sixteen(false, false)}) {
        const std::vector<uint8_t> png = EncodePng(c.image);
        const std::vector<Chunk> chunks = Chunks(png);
        for (size_t at = 8; at < png.size(); ++at) {
            std::vector<uint8_t> bad = png;
            bad[at] ^= 0x5A;
            std::unique_ptr<PIX_MemBitmap> bitmap(PIX_PngFromMemory(bad.data(), bad.size()));
            bool critical = false;
            for (const Chunk& chunk : chunks)
                if (at >= chunk.start && at < chunk.end)
                    critical = chunk.type == "IHDR" || chunk.type == "PLTE" || chunk.type == "IDAT";
            if (critical) {
                EXPECT_EQ(bitmap, nullptr) << "byte " << at;
            } else if (bitmap) {
                EXPECT_EQ(bitmap->Width(), c.image.width) << "byte " << at;
            }
        }
    }
}

TEST(PngFailure, HeaderClaimingAnUnaddressableSizeGivesNone)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
    const uint8_t ihdr[17] = {'I', 'H', 'D', 'R', 0, 0x0F, 0x42, 0x40, 0, 0x0F, 0x42, 0x40, 8, 6, 0, 0, 0};
    png.insert(png.end(), ihdr, ihdr + 17);
    const uLong crc = crc32(0, ihdr, 17);
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(uint8_t(crc >> shift));
    EXPECT_EQ(PIX_PngFromMemory(png.data(), png.size()), nullptr);
}

class PngFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One file per test and process: CTest runs the tests side by side.
        path = ::testing::TempDir() + "tidepull_pix_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + std::to_string(getpid()) + ".png";
        Write(path, EncodePng(image.image));
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        std::remove((path + ".bak").c_str());
    }
    static void Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        FILE* f = std::fopen(name.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    void ExpectPicture(TestBitmap& bitmap)
    {
        for (int y = 0; y < image.image.height; ++y)
            for (int x = 0; x < image.image.width; ++x)
                ASSERT_EQ(bitmap.At(x, y), image.expected[size_t(y * image.image.width + x)]) << x << "," << y;
    }

    Case image = Rgb8(false, true, 9, 4);
    std::string path;
};

TEST_F(PngFile, LoadsIntoANewBitmap)
{
    std::unique_ptr<PIX_IBitmap> bitmap(PIX_PngFromFile(path.c_str(), nullptr));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 9);
    EXPECT_EQ(bitmap->Pixels()[bitmap->Stride() + 2], image.expected[9 + 2]);
}

TEST_F(PngFile, FillsATargetInImageRowOrder)
{
    for (bool bottomUp : {false, true}) {
        TestBitmap target(2, 2, 3, bottomUp);
        EXPECT_EQ(PIX_PngFromFile(path.c_str(), &target), &target);
        ASSERT_EQ(target.width, 9);
        ExpectPicture(target);
        // Row padding is not written.
        EXPECT_EQ(target.storage[9], 0xDEADBEEFu);
    }
}

TEST_F(PngFile, MissingOrBrokenFilesGiveNoneAndLeaveTheTarget)
{
    EXPECT_EQ(PIX_PngFromFile((path + ".missing").c_str(), nullptr), nullptr);
    std::vector<uint8_t> broken = EncodePng(image.image);
    broken.resize(broken.size() / 2);
    Write(path, broken);
    EXPECT_EQ(PIX_PngFromFile(path.c_str(), nullptr), nullptr);
    PIX_MemBitmap target;
    EXPECT_EQ(PIX_PngFromFile(path.c_str(), &target), nullptr);
    // The target is still ours and usable.
    EXPECT_TRUE(target.Resize(3, 3));
}

TEST_F(PngFile, LoaderListStartsWithThePngLoader)
{
    const PIX_ImageLoaderEntry* entry = PIX_ImageLoaderList;
    ASSERT_NE(entry, nullptr);
    const char* filter = entry->FilterText();
    EXPECT_STREQ(filter, "PNG files (*.PNG)");
    filter += std::strlen(filter) + 1;
    EXPECT_STREQ(filter, "*.PNG");
    filter += std::strlen(filter) + 1;
    EXPECT_EQ(*filter, '\0');

    std::unique_ptr<PIX_IBitmap> loaded(entry->Load(path.c_str(), true, nullptr));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Height(), 4);

    // The extension is the part from the last '\\', '/' or '.', compared without case.
    const std::string bak = path + ".bak";
    Write(bak, EncodePng(image.image));
    EXPECT_EQ(entry->Load(bak.c_str(), true, nullptr), nullptr);
    std::unique_ptr<PIX_IBitmap> unchecked(entry->Load(bak.c_str(), false, nullptr));
    EXPECT_NE(unchecked, nullptr);
    EXPECT_EQ(entry->Load("folder.png/image", true, nullptr), nullptr);
    EXPECT_EQ(entry->Load("folder.png\\image", true, nullptr), nullptr);
    EXPECT_EQ(entry->Load("png", true, nullptr), nullptr);
    EXPECT_EQ(entry->Load("missing.PnG", true, nullptr), nullptr);   // passes the check, fails to open
}

}   // namespace
