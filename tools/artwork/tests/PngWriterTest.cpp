#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PngWriter.h"

namespace {

std::string TempPath(const char* name)
{
    return std::string(::testing::TempDir()) + "/" + name;
}

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A surface of premultiplied pixels, one per entry.
cairo_surface_t* Surface(const std::vector<uint32_t>& pixels, int w)
{
    const int h = static_cast<int>(pixels.size()) / w;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    unsigned char* d = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        std::memcpy(d + y * stride, &pixels[static_cast<size_t>(y) * w], static_cast<size_t>(w) * 4);
    cairo_surface_mark_dirty(s);
    return s;
}

bool Decode(const std::string& path, png_image* image, std::vector<unsigned char>* rgba)
{
    std::memset(image, 0, sizeof *image);
    image->version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(image, path.c_str()))
        return false;
    const bool rgbaFile = image->format == PNG_FORMAT_RGBA;
    rgba->assign(PNG_IMAGE_SIZE(*image), 0);
    if (!png_image_finish_read(image, nullptr, rgba->data(), 0, nullptr))
        return false;
    return rgbaFile;
}

}   // namespace

TEST(PngWriter, WritesStraightAlphaRgbaEvenForOpaqueImages)
{
    // Opaque red, half-covered green (premultiplied 0x80), faint blue, clear.
    const std::vector<uint32_t> pixels = {0xffff0000u, 0x80008000u, 0x10000008u, 0x00000000u};
    cairo_surface_t* s = Surface(pixels, 2);
    const std::string path = TempPath("straight.png");
    ASSERT_TRUE(PngWriter::Write(s, path));
    cairo_surface_destroy(s);

    png_image image;
    std::vector<unsigned char> rgba;
    ASSERT_TRUE(Decode(path, &image, &rgba));
    ASSERT_EQ(image.width, 2u);
    ASSERT_EQ(image.height, 2u);
    const unsigned char expected[16] = {
        255, 0,   0,   255,   // red
        0,   255, 0,   128,   // 0x80 * 255 / 0x80
        0,   0,   128, 16,   // 8 * 255 / 16, rounded
        0,   0,   0,   0,   // clear stays all zero
    };
    EXPECT_EQ(std::memcmp(rgba.data(), expected, sizeof expected), 0);

    const std::vector<uint32_t> opaque = {0xff102030u, 0xff405060u};
    cairo_surface_t* o = Surface(opaque, 2);
    const std::string opaquePath = TempPath("opaque.png");
    ASSERT_TRUE(PngWriter::Write(o, opaquePath));
    cairo_surface_destroy(o);
    EXPECT_TRUE(Decode(opaquePath, &image, &rgba)) << "an opaque image must still carry alpha";
}

TEST(PngWriter, SameSurfaceGivesSameBytes)
{
    std::vector<uint32_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t a = static_cast<uint32_t>(i * 7 % 256);
        pixels[i] = (a << 24) | ((a / 2) << 16) | ((a / 3) << 8) | (a / 5);
    }
    cairo_surface_t* s = Surface(pixels, 64);
    ASSERT_TRUE(PngWriter::Write(s, TempPath("first.png")));
    ASSERT_TRUE(PngWriter::Write(s, TempPath("second.png")));
    cairo_surface_destroy(s);
    const std::vector<unsigned char> a = ReadFile(TempPath("first.png"));
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, ReadFile(TempPath("second.png")));
}

TEST(PngWriter, UnwritablePathFails)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    EXPECT_FALSE(PngWriter::Write(s, "/nonexistent-folder/x.png"));
    cairo_surface_destroy(s);
}
