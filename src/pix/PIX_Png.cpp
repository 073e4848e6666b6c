#include "pix/PIX_Png.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

namespace {

struct MemoryCursor {
    const unsigned char* next;
    size_t left;
    size_t zerosPastEnd;
};

// Zeros past the end beyond which decoding stops: a chunk length near 2^31
// in a few bytes of input would otherwise have libpng skip through gigabytes
// of zeros before it fails.
constexpr size_t kMaxZerosPastEnd = 1 << 16;

// Reading past the end yields zeros; libpng then fails on the chunk it sees.
void ReadFromCursor(png_structp png, png_bytep out, size_t count)
{
    MemoryCursor* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
    std::memset(out, 0, count);
    const size_t n = count < cursor->left ? count : cursor->left;
    if (n > 0) {
        std::memcpy(out, cursor->next, n);
        cursor->next += n;
        cursor->left -= n;
    }
    cursor->zerosPastEnd += count - n;
    if (cursor->zerosPastEnd > kMaxZerosPastEnd)
        png_error(png, "read past the end");
}

// Errors reach the caller only as an empty result, so libpng prints nothing.
void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp)
{
}

void SetTransforms(png_structp png, png_infop info)
{
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);

    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
        colourType |= PNG_COLOR_MASK_ALPHA;
    }
    if (depth == 16)
        png_set_strip_16(png);
    if (depth < 8)
        png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    // Every row arrives as bytes alpha, red, green, blue.
    if (colourType & PNG_COLOR_MASK_ALPHA)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
}

// Bytes A, R, G, B become the word B | G << 8 | R << 16 | A << 24.
void ArgbBytesToPixels(PIX_IBitmap* bitmap)
{
    PIX_Pixel32* base = bitmap->Pixels();
    const int32_t width = bitmap->Width();
    for (int32_t r = 0; r < bitmap->Height(); ++r) {
        PIX_Pixel32* row = PIX_RowPointer(*bitmap, base, r);
        for (int32_t i = 0; i < width; ++i) {
            unsigned char bytes[4];
            std::memcpy(bytes, row + i, 4);
            row[i] = static_cast<PIX_Pixel32>(bytes[3]) | (static_cast<PIX_Pixel32>(bytes[2]) << 8) |
                (static_cast<PIX_Pixel32>(bytes[1]) << 16) | (static_cast<PIX_Pixel32>(bytes[0]) << 24);
        }
    }
}

// libpng reports errors by longjmp back into this function. Nothing between the
// setjmp and the last libpng call has a destructor to skip: what a failure must
// release is held in the volatile pointers below and freed by hand.
PIX_IBitmap* Decode(MemoryCursor* cursor, FILE* file, PIX_IBitmap* target)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    PIX_IBitmap* volatile created = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        delete created;
        return nullptr;
    }

    if (file)
        png_init_io(png, file);
    else
        png_set_read_fn(png, cursor, ReadFromCursor);
    png_read_info(png, info);
    const png_uint_32 imageWidth = png_get_image_width(png, info);
    const png_uint_32 imageHeight = png_get_image_height(png, info);
    SetTransforms(png, info);

    PIX_IBitmap* bitmap = target;
    if (bitmap) {
        bitmap->Resize(static_cast<int32_t>(imageWidth), static_cast<int32_t>(imageHeight));
    } else {
        bitmap = new (std::nothrow) PIX_MemBitmap();
        created = bitmap;
        if (bitmap && imageWidth > 0 && imageHeight > 0)
            bitmap->Resize(static_cast<int32_t>(imageWidth), static_cast<int32_t>(imageHeight));
    }
    if (!bitmap || !bitmap->Pixels() || static_cast<png_uint_32>(bitmap->Width()) != imageWidth ||
        static_cast<png_uint_32>(bitmap->Height()) != imageHeight)
        png_longjmp(png, 1);

    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * imageHeight));
    if (!rows)
        png_longjmp(png, 1);
    PIX_Pixel32* base = bitmap->Pixels();
    for (png_uint_32 r = 0; r < imageHeight; ++r)
        rows[r] = reinterpret_cast<png_bytep>(PIX_RowPointer(*bitmap, base, static_cast<int32_t>(r)));
    png_read_image(png, rows);

    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    ArgbBytesToPixels(bitmap);
    return bitmap;
}

FILE* OpenForReading(const char* fileName)
{
    // Windows opens the UTF-16 form of the name first; here the name is used as given.
    return std::fopen(fileName, "rb");
}

}   // namespace

PIX_MemBitmap* PIX_PngFromMemory(const void* data, size_t length)
{
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!data || length < 8 || std::memcmp(data, kSignature, 8) != 0)
        return nullptr;
    MemoryCursor cursor{static_cast<const unsigned char*>(data), length, 0};
    return static_cast<PIX_MemBitmap*>(Decode(&cursor, nullptr, nullptr));
}

PIX_IBitmap* PIX_PngFromFile(const char* fileName, PIX_IBitmap* target)
{
    if (!fileName)
        return nullptr;
    FILE* file = OpenForReading(fileName);
    if (!file)
        return nullptr;
    PIX_IBitmap* bitmap = Decode(nullptr, file, target);
    std::fclose(file);
    return bitmap;
}
