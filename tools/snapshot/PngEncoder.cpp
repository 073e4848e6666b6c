#include "PngEncoder.h"

#include "pix/PIX_IBitmap.h"

#include <png.h>

#include <csetjmp>

namespace {
struct Sink {
    std::vector<uint8_t>* bytes;
};

extern "C" void appendPngData(png_structp png, png_bytep data, png_size_t length)
{
    Sink* sink = static_cast<Sink*>(png_get_io_ptr(png));
    sink->bytes->insert(sink->bytes->end(), data, data + length);
}

extern "C" void flushPngData(png_structp)
{
}
}   // namespace

bool PngEncoder::encode(const PIX_IBitmap& bitmap, std::vector<uint8_t>& png, std::string& error)
{
    const int32_t w = bitmap.Width();
    const int32_t h = bitmap.Height();
    if (w <= 0 || h <= 0 || !bitmap.Pixels()) {
        error = "there is no image to write";
        return false;
    }

    // 0xAARRGGBB words, straight alpha, into R, G, B, A bytes.
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    for (int32_t y = 0; y < h; ++y) {
        const PIX_Pixel32* row = PIX_RowPointer(bitmap, bitmap.Pixels(), y);
        uint8_t* out = &rgba[static_cast<size_t>(y) * static_cast<size_t>(w) * 4];
        for (int32_t x = 0; x < w; ++x) {
            const PIX_Pixel32 p = row[x];
            *out++ = static_cast<uint8_t>(p >> 16);
            *out++ = static_cast<uint8_t>(p >> 8);
            *out++ = static_cast<uint8_t>(p);
            *out++ = static_cast<uint8_t>(p >> 24);
        }
    }

    png.clear();
    Sink sink{&png};
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!info) {
        png_destroy_write_struct(&writer, nullptr);
        error = "libpng could not start an image";
        return false;
    }
    if (setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        png.clear();
        error = "libpng could not encode the image";
        return false;
    }
    png_set_write_fn(writer, &sink, appendPngData, flushPngData);
    png_set_compression_level(writer, 9);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer, info);
    for (int32_t y = 0; y < h; ++y)
        png_write_row(writer, &rgba[static_cast<size_t>(y) * static_cast<size_t>(w) * 4]);
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return true;
}
